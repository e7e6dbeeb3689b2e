# One warning set for all of our own targets, and every warning is an error, so none lands.
# Third-party code keeps its own flags.
add_library(vf_warnings INTERFACE)
target_compile_options(vf_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
  -Woverloaded-virtual -Wnull-dereference -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough
  -Werror)
