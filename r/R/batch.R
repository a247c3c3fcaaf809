# A table of requests on the batch engine, on its own threads: the columns
# go to the engine as text fields, the outcomes come back as data frames.

rill_batch <- function(net, requests, threads = NULL, features = NULL, feature_match = "exact", max_tables = 4L) {
  pointer <- .network_arg(net)
  threads <- .whole_arg(threads, "threads", 1, 1024, null_ok = TRUE)
  max_tables <- .whole_arg(max_tables, "max_tables", 1, 1048576)
  sites <- .sites_arg(net, features)
  columns <- .table_columns(requests, "requests")
  found <- .rill_batch(pointer, columns, if (is.null(threads)) 0L else as.integer(threads), as.integer(max_tables),
                       sites$pointer, .match_arg(feature_match))
  if (is.null(sites)) return(found[c("results", "status")])
  found$features <- .sites_frame(sites, found$features, found$status$Request)
  found
}
