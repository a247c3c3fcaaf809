# Navigations and batches against the programs, on the sample network and
# on every network of the shared data: random requests of all five types,
# each navigation's rows and ccode equal to the single run's CSV and
# ccode.txt value for value, and the same requests as one batch equal to
# `rillmark batch`'s RESULTS and STATUS.

compare_with_programs <- function(folder, count) {
  set.seed(29)
  net <- rill_network(folder)
  requests <- random_requests(net, folder, count)
  work <- work_folder(folder)
  for (i in seq_along(requests)) {
    r <- requests[[i]]
    nav <- navigate_request(net, r, i)
    expected <- single_run(work, r)
    label <- sprintf("%s request %d (%s)", basename(folder), i, paste(unlist(r), collapse = ","))
    expect_rows(nav$rows, expected$rows, label)
    expect_identical(nav$ccode, expected$ccode, label = label)
  }
  frame <- requests_frame(requests)
  out <- rill_batch(net, frame, threads = 2)
  cli <- cli_batch(frame, folder)
  expect_rows(out$results, cli$results, paste(basename(folder), "RESULTS"))
  expect_identical(out$status, cli$status, label = paste(basename(folder), "STATUS"))
}

test_that("the sample network navigates as the programs do", {
  skip_without_programs()
  compare_with_programs(alder, 30)
})

for (name in shared_networks()) {
  test_that(paste("the shared network", name, "navigates as the programs do"), {
    skip_without_programs()
    compare_with_programs(file.path(shared_data, name), 15)
  })
}

test_that("the sites passed are FEATURES of rillmark batch --features", {
  skip_without_programs()
  folder <- if ("oswego" %in% shared_networks()) file.path(shared_data, "oswego") else alder
  set.seed(24)
  lines <- readLines(file.path(folder, "rchdata.txt"))
  comids <- as.numeric(vapply(strsplit(lines, ",", fixed = TRUE), `[`, "", 1L))
  sites <- data.frame(Site = sprintf("s%d", 1:400), Com_id = sample(comids, 400, replace = TRUE),
                      Measure = round(stats::runif(400, 0, 100), 1), Kind = "gauge")
  sites$Measure[1:40] <- NA
  net <- rill_network(folder)
  placed <- rill_sites(net, sites)
  frame <- requests_frame(random_requests(net, folder, 40))
  out <- rill_batch(net, frame, features = placed)
  cli <- cli_batch(frame, folder, features = sites)
  expect_identical(out$features, cli$features)
  for (i in c(3L, 4L, 8L)) {
    r <- as.list(frame[i, ])
    nav <- rill_navigate(net, nav_type = r$NavType, direction = r$Direction, start_reach = r$StartReach,
                         start_measure = r$StartMeasure, distance = r$Distance, units = r$DistanceUnits,
                         features = placed)
    mine <- out$features[out$features$Request == r$Request, -1L]
    rownames(mine) <- NULL
    expect_identical(nav$features, mine)
  }
})
