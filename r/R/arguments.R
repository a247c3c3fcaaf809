# Checks of the arguments' types, each failing with an R error that names
# the argument. What the values mean together is checked by the engine.

.fail <- function(...) stop(paste0(...), call. = FALSE)

.is_one <- function(x) length(x) == 1L && !is.na(x)

.text_arg <- function(x, name, null_ok = TRUE) {
  if (is.null(x) && null_ok) return(NULL)
  if (is.factor(x)) x <- as.character(x)
  if (is.numeric(x) && grepl("reach", name))
    .fail(name, " must be a reach code as a string, not a number (a number loses a code's leading zeros)")
  if (!is.character(x) || !.is_one(x)) .fail(name, " must be a single string")
  x
}

.number_arg <- function(x, name) {
  if (!is.numeric(x) || length(x) != 1L || (is.na(x) && !is.nan(x))) .fail(name, " must be a number")
  as.double(x)
}

.whole_arg <- function(x, name, low, high, null_ok = FALSE, logical_ok = FALSE) {
  if (is.null(x) && null_ok) return(NULL)
  if (logical_ok && is.logical(x) && .is_one(x)) return(as.integer(x))
  if (!is.numeric(x) || !.is_one(x) || x != trunc(x)) .fail(name, " must be a whole number")
  if (x < low || x > high) .fail(name, " must be from ", low, " to ", high, ", not ", format(x, scientific = FALSE))
  x
}

.comid_arg <- function(x, name) .whole_arg(x, name, -2147483647, 2147483647, null_ok = TRUE)

.switch_arg <- function(x, name) as.integer(.whole_arg(x, name, -32768, 32767, logical_ok = TRUE))

.match_arg <- function(x) .text_arg(x, "feature_match", null_ok = FALSE)

.network_arg <- function(net) {
  if (!inherits(net, "rill_network")) .fail("net must be a network made by rill_network()")
  net$pointer
}

# A data frame's columns as a list the engine reads as text fields.
.table_columns <- function(frame, name) {
  if (!is.data.frame(frame)) .fail(name, " must be a data frame")
  columns <- lapply(frame, function(column) if (is.factor(column)) as.character(column) else column)
  names(columns) <- names(frame)
  columns
}
