# A network: its three tables loaded once by the engine, held behind an
# external pointer that lives as long as the R object; the counts beside it.

rill_network <- function(folder, prefix = "") {
  folder <- .text_arg(folder, "folder", null_ok = FALSE)
  prefix <- .text_arg(prefix, "prefix", null_ok = FALSE)
  pointer <- .rill_load(path.expand(folder), prefix)
  described <- .rill_describe(pointer)
  structure(c(list(pointer = pointer), described), class = "rill_network")
}

rill_skipped <- function(net) .rill_skipped(.network_arg(net))

print.rill_network <- function(x, ...) {
  cat(sprintf("<rill_network> %s%s: %.0f reaches, %.0f flow rows, %.0f sections\n", x$folder, x$prefix,
              x$reaches, x$flows, x$sections))
  invisible(x)
}
