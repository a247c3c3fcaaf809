# One navigation: the arguments checked by type here (each error names its
# argument), what they mean together checked by the engine, the rows made an
# R data frame from the engine's values.

rill_navigate <- function(net, mode = NULL, nav_type = NULL, start_reach = NULL, start_comid = NULL,
                          start_measure = 0, direction = NULL, distance = 0, units = "M", end_reach = NULL,
                          end_comid = NULL, end_measure = 0, whole_reach_start = FALSE, end_at_cu_boundary = 0L,
                          features = NULL, feature_match = "exact") {
  pointer <- .network_arg(net)
  sites <- .sites_arg(net, features)
  found <- .rill_navigate(
    pointer, .text_arg(mode, "mode"), .whole_arg(nav_type, "nav_type", 1, 5, null_ok = TRUE),
    .text_arg(direction, "direction"), .text_arg(start_reach, "start_reach"), .comid_arg(start_comid, "start_comid"),
    .number_arg(start_measure, "start_measure"), .number_arg(distance, "distance"),
    .text_arg(units, "units", null_ok = FALSE), .text_arg(end_reach, "end_reach"), .comid_arg(end_comid, "end_comid"),
    .number_arg(end_measure, "end_measure"), .switch_arg(whole_reach_start, "whole_reach_start"),
    .switch_arg(end_at_cu_boundary, "end_at_cu_boundary"), sites$pointer, .match_arg(feature_match))
  if (!is.null(sites)) found$features <- .sites_frame(sites, found$features)
  class(found) <- "rill_navigation"
  found
}

print.rill_navigation <- function(x, ...) {
  cat(sprintf("<rill_navigation> ccode %s, %d rows\n", x$ccode, nrow(x$rows)))
  for (note in x$notes) cat("  ", note, "\n", sep = "")
  if (nrow(x$rows) > 0L) print(utils::head(x$rows, 10L), ...)
  if (nrow(x$rows) > 10L) cat(sprintf("... %d more rows\n", nrow(x$rows) - 10L))
  if (!is.null(x$features)) cat(sprintf("%d sites passed\n", nrow(x$features)))
  invisible(x)
}

as.data.frame.rill_navigation <- function(x, ...) x$rows
