# What the tests compare with: the programs of a build of the clone
# (RILL_RILLMARK_EXE, RILL_SOURCE_DIR; scripts/r-check.sh sets both), the
# sample network installed with the package, and the networks of the shared
# data beside the clone. Tests that need what is missing skip.

alder <- system.file("extdata", "alder", package = "rillmark")
rillmark_exe <- Sys.getenv("RILL_RILLMARK_EXE")
source_dir <- Sys.getenv("RILL_SOURCE_DIR")
shared_data <- if (nzchar(source_dir)) file.path(source_dir, "..", "shared", "data") else ""

skip_without_programs <- function() {
  if (!nzchar(rillmark_exe) || !file.exists(rillmark_exe)) skip("no rillmark program (RILL_RILLMARK_EXE)")
}

shared_networks <- function() {
  names <- c("oswego", "oswego_rc", "smallnets", "haw_hr", "haw_hr_rc", "coastal_ca")
  names[file.exists(file.path(shared_data, names, "rchdata.txt"))]
}

# A CSV of the programs as the package gives its frames: codes, dates, ids
# and messages as text, empty text as NA, numbers as R reads them.
read_programs_csv <- function(path) {
  if (!file.exists(path) || file.size(path) == 0) return(NULL)
  text <- c(Request = "character", Rch_code = "character", Rch_date = "character", ccode = "character",
            Message = "character", Feature = "character")
  header <- strsplit(gsub("\"", "", readLines(path, n = 1L)), ",", fixed = TRUE)[[1]]
  frame <- utils::read.csv(path, colClasses = text[names(text) %in% header], strip.white = TRUE, na.strings = "",
                           check.names = FALSE)
  for (name in intersect(c("Com_id", "Duu_id", "Status"), names(frame))) frame[[name]] <- as.integer(frame[[name]])
  frame
}

# A work folder linking the tables, where a single run may write.
work_folder <- function(tables) {
  work <- tempfile("work")
  dir.create(work)
  for (name in c("rchdata.txt", "flowdata.txt", "secdata.txt"))
    file.symlink(normalizePath(file.path(tables, name)), file.path(work, name))
  work
}

# Runs the single run with the fields of a request (a list as
# rill_navigate takes it, with nav_type and direction): its rows and ccode.
single_run <- function(work, r) {
  number <- function(x) if (is.null(x)) "0" else sprintf("%.17g", x)
  fields <- c(r$nav_type, r$start_reach, number(r$start_measure), if (is.null(r$end_reach)) "0" else r$end_reach,
              number(r$end_measure), r$direction, number(r$distance), r$units, "1", paste0(work, "/"), "out.csv",
              "./", "0", "0")
  unlink(file.path(work, c("out.csv", "ccode.txt")))
  system2(rillmark_exe, paste(fields, collapse = ","), stdout = FALSE, stderr = FALSE)
  list(rows = read_programs_csv(file.path(work, "out.csv")), ccode = readLines(file.path(work, "ccode.txt")))
}

# RESULTS, STATUS (and FEATURES) of `rillmark batch` on a requests frame.
cli_batch <- function(requests, tables, features = NULL) {
  folder <- tempfile("batch")
  dir.create(folder)
  path <- file.path(folder, "requests.csv")
  utils::write.csv(requests, path, row.names = FALSE, na = "")
  args <- c("batch", path, "--tables", tables, "--out", file.path(folder, "out.csv"), "--no-progress", "--quiet")
  if (!is.null(features)) {
    sites <- file.path(folder, "sites.csv")
    utils::write.csv(features, sites, row.names = FALSE, na = "")
    args <- c(args, "--features", sites)
  }
  system2(rillmark_exe, args, stdout = FALSE, stderr = FALSE)
  list(results = read_programs_csv(file.path(folder, "out.csv")),
       status = read_programs_csv(file.path(folder, "out.status.csv")),
       features = read_programs_csv(file.path(folder, "out.features.csv")))
}

# Equal rows, value for value; a CSV of no rows stands for an empty frame.
expect_rows <- function(rows, expected, label) {
  if (is.null(expected) || nrow(expected) == 0L) {
    expect_equal(nrow(rows), 0L, label = label)
  } else {
    rownames(expected) <- NULL
    expect_identical(rows, expected, label = label)
  }
}
