# A site table placed once on a network, and the sites a navigation passes
# joined back to the rows of that table.

rill_sites <- function(net, table) {
  pointer <- .network_arg(net)
  if (is.character(table) && length(table) == 1L) {
    table <- utils::read.csv(table, colClasses = "character", na.strings = character(0), check.names = FALSE)
  }
  placed <- .rill_place_sites(pointer, .table_columns(table, "features"))
  structure(c(list(frame = table, network = pointer), placed), class = "rill_sites")
}

print.rill_sites <- function(x, ...) {
  cat(sprintf("<rill_sites> %.0f sites placed, %.0f skipped\n", x$placed, x$skipped))
  if (nrow(x$skipped_sites) > 0L) print(x$skipped_sites, ...)
  invisible(x)
}

# The sites of a features argument: NULL, placed sites, or a table to place.
.sites_arg <- function(net, features) {
  if (is.null(features) || inherits(features, "rill_sites")) return(features)
  if (is.data.frame(features) || (is.character(features) && length(features) == 1L)) return(rill_sites(net, features))
  .fail("features must be made by rill_sites(), a data frame or the path of a site table")
}

# FEATURES as a data frame: what the engine found, joined to the site table's rows.
.sites_frame <- function(sites, found, ids = NULL) {
  picked <- sites$frame[found$row, , drop = FALSE]
  frame <- data.frame(Feature = picked[[sites$id_column]], Com_id = found$Com_id, Rch_code = found$Rch_code,
                      Measure = found$Measure, Distance = found$Distance, stringsAsFactors = FALSE)
  if (!is.null(ids)) frame <- cbind(data.frame(Request = ids[found$request], stringsAsFactors = FALSE), frame)
  for (i in seq_along(sites$travel_columns)) frame[[sites$travel_names[i]]] <- picked[[sites$travel_columns[i]]]
  rownames(frame) <- NULL
  frame
}
