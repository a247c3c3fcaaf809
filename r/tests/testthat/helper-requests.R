# Random requests of all five types on a network: starts anywhere, at any
# measure, both ways, with and without a distance, in every unit; point to
# point between a start and a reach below it (or above it, upstream).

.modes <- list(U = c("UM", "UT"), D = c("DM", "DD"))

random_requests <- function(net, folder, count) {
  lines <- readLines(file.path(folder, "rchdata.txt"))
  codes <- vapply(strsplit(lines, ",", fixed = TRUE), `[`, "", 2L)
  # The units a single run reads as they are (it reads KM as meters).
  miles <- c(MI = 1, M = 1609.344, FT = 5280)
  lapply(seq_len(count), function(i) {
    type <- (i - 1L) %% 5L + 1L
    units <- sample(names(miles), 1L)
    r <- list(nav_type = type, direction = sample(c("U", "D"), 1L), start_reach = sample(codes, 1L),
              start_measure = round(stats::runif(1L, 0, 100), 3), distance = 0, units = units)
    if (type %in% 3:4) r$distance <- round(stats::runif(1L, 0.2, 15) * miles[[units]], 2)
    if (type == 5L) {
      below <- rill_navigate(net, "DM", start_reach = r$start_reach, start_measure = r$start_measure)$rows
      r$end_reach <- if (nrow(below) > 0L) below$Rch_code[sample(nrow(below), 1L)] else r$start_reach
      r$end_measure <- round(stats::runif(1L, 0, 100), 3)
      if (r$direction == "U") r[c("start_reach", "end_reach", "start_measure", "end_measure")] <-
        r[c("end_reach", "start_reach", "end_measure", "start_measure")]
    }
    r
  })
}

# rill_navigate on a request: by mode for every other one, by nav_type for the rest.
navigate_request <- function(net, r, i) {
  args <- list(net, start_reach = r$start_reach, start_measure = r$start_measure, distance = r$distance,
               units = r$units, end_reach = r$end_reach, end_measure = if (is.null(r$end_measure)) 0 else r$end_measure)
  if (i %% 2L == 1L) {
    args$mode <- if (r$nav_type == 5L) "PP" else .modes[[r$direction]][(r$nav_type - 1L) %% 2L + 1L]
    if (r$nav_type == 5L) args$direction <- r$direction
    if (r$nav_type %in% 1:2) args$distance <- 0
  } else {
    args$nav_type <- r$nav_type
    args$direction <- r$direction
  }
  do.call(rill_navigate, args)
}

# The requests as a batch's table, numbers as numbers (as read.csv leaves them).
requests_frame <- function(requests) {
  field <- function(name, missing) vapply(requests, function(r) if (is.null(r[[name]])) missing else r[[name]],
                                          if (is.character(missing)) "" else 0)
  data.frame(Request = sprintf("r%03d", seq_along(requests)), NavType = field("nav_type", 0),
             StartReach = field("start_reach", NA_character_), StartMeasure = field("start_measure", 0),
             EndReach = field("end_reach", NA_character_), EndMeasure = field("end_measure", NA_real_),
             Direction = field("direction", NA_character_), Distance = field("distance", 0),
             DistanceUnits = field("units", NA_character_), stringsAsFactors = FALSE)
}
