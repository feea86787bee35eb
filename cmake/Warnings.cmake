# Warnings that every target of ours gets.
add_library(vrask_warnings INTERFACE)
target_compile_options(vrask_warnings INTERFACE
  -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)
