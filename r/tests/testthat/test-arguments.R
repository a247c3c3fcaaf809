# Calls that cannot be made: each an R error naming the argument (or the
# column), never a crash, a warning or a silent guess.

net <- rill_network(alder)
start <- "41020003000006"

test_that("rill_navigate names the argument that cannot be used", {
  cases <- list(
    list(list(start_reach = start), "give mode"),
    list(list("DM", start_reach = 41020003000006), "start_reach must be a reach code as a string"),
    list(list("DM", start_comid = 4100061.5), "start_comid must be a whole number"),
    list(list("DM", start_comid = "4100061"), "start_comid must be a whole number"),
    list(list("DM", start_reach = start, start_measure = "50"), "start_measure must be a number"),
    list(list("DM", start_reach = start, start_measure = NA_real_), "start_measure must be a number"),
    list(list("DM", start_reach = start, distance = c(1, 2)), "distance must be a number"),
    list(list("XX", start_reach = start), "mode \"XX\" is none of UM, UT, DM, DD, PP"),
    list(list("DM", start_reach = start, direction = "U"), "direction U contradicts mode DM"),
    list(list("DM", nav_type = 1, start_reach = start), "give mode or nav_type, not both"),
    list(list(nav_type = 6, direction = "D", start_reach = start), "nav_type must be from 1 to 5"),
    list(list(nav_type = 1, start_reach = start), "nav_type needs a direction"),
    list(list(nav_type = 1, direction = "Q", start_reach = start), "direction \"Q\" is neither U nor D"),
    list(list("DM"), "give start_reach or start_comid"),
    list(list("PP", start_reach = start), "point to point needs end_reach or end_comid"),
    list(list("DM", start_reach = start, end_reach = start), "end_reach and end_comid are for point to point only"),
    list(list("DM", start_reach = start, units = "YD"), "units \"YD\" is none of MI, FT, M, KM"),
    list(list("DM", start_reach = start, whole_reach_start = "yes"), "whole_reach_start must be a whole number"),
    list(list("DM", start_reach = start, end_at_cu_boundary = 70000), "end_at_cu_boundary must be from"),
    list(list("DM", start_reach = start, start_comid = 4100011), "start_reach and start_comid disagree"),
    list(list("DM", start_reach = start, features = 3), "features must be made by rill_sites"),
    list(list("DM", start_reach = start, features = data.frame(Site = "a", Com_id = 4100061), feature_match = "all"),
         "feature_match must be \"exact\" or \"reach\"")
  )
  for (case in cases) expect_error(do.call(rill_navigate, c(list(net), case[[1]])), case[[2]], fixed = TRUE)
})

test_that("a network that is not loaded in this process is an error naming net", {
  path <- tempfile(fileext = ".rds")
  saveRDS(net, path)
  restored <- readRDS(path)
  expect_error(rill_navigate(restored, "DM", start_reach = start), "net is empty", fixed = TRUE)
  expect_error(rill_batch(restored, data.frame(Request = "a")), "net is empty", fixed = TRUE)
  expect_error(rill_skipped(restored), "net is empty", fixed = TRUE)
  expect_error(rill_navigate(list(), "DM", start_reach = start), "net must be a network made by rill_network()",
               fixed = TRUE)
  expect_identical(rill_navigate(net, "DM", start_reach = start)$ccode, "0000")
})

test_that("tables that cannot be opened are an error naming the file", {
  empty <- tempfile("tables")
  dir.create(empty)
  expect_error(rill_network(empty), "secdata.txt was not opened", fixed = TRUE)
  expect_error(rill_network(c(alder, alder)), "folder must be a single string", fixed = TRUE)
})

test_that("rill_batch names the argument or column that cannot be used", {
  good <- data.frame(Request = "a", NavType = 1, StartReach = start, Direction = "D")
  cases <- list(
    list(list(requests = "requests.csv"), "requests must be a data frame"),
    list(list(requests = good, threads = 0), "threads must be from 1 to 1024"),
    list(list(requests = transform(good, StartReach = 41020003000006)),
         "requests$StartReach holds reach codes as numbers (row 1: 41020003000006)"),
    list(list(requests = data.frame(Request = c("a", "b"), NavType = 5, StartReach = start, EndReach = c(NA, 4102e10),
                                    Direction = "D")), "requests$EndReach holds reach codes as numbers (row 2: "),
    list(list(requests = transform(good, StartMeasure = I(list(1)))), "requests$StartMeasure must be character"),
    list(list(requests = transform(good, StartReech = "x")), "StartReech")
  )
  for (case in cases) expect_error(do.call(rill_batch, c(list(net), case[[1]])), case[[2]], fixed = TRUE)
})

test_that("columns as read.csv leaves them read as the batch reads their text", {
  text <- utils::read.csv(file.path(alder, "requests.csv"), colClasses = "character")
  typed <- utils::read.csv(file.path(alder, "requests.csv"), colClasses = c(StartReach = "character",
                                                                           EndReach = "character"))
  typed$EndComid <- NA  # an empty column, as read.csv reads one: logical
  expect_true(is.numeric(typed$StartMeasure) && is.integer(typed$WholeReachStartMode))
  expect_identical(rill_batch(net, typed, threads = 1), rill_batch(net, text, threads = 2))
  status <- rill_batch(net, text, threads = 1)$status
  expect_identical(vapply(status, typeof, ""), c(Request = "character", Status = "integer", ccode = "character",
                                                 Message = "character"))
  expect_identical(status$ccode[status$Request == "none, only the load"], NA_character_)
  expect_true(all(is.na(status$Message[status$ccode == "0000"])))
  refused <- rill_batch(net, data.frame(Request = "bad", NavType = 1, StartReach = start, Direction = "X"))$status
  expect_identical(refused$Status, 0L)
  expect_identical(refused$ccode, "0010")
})
