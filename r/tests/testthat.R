library(testthat)
library(rillmark)

test_check("rillmark")
