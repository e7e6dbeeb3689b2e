# vf_embed_resources(TARGET DIRECTORY): embeds resources into TARGET. When DIRECTORY holds a
# resources.list (lines of "NAME FILE", # for comments), each line embeds FILE under NAME, so one
# file can serve many names; otherwise every PNG file becomes a resource named after the file
# (FAN_0_0.png -> "FAN_0_0"). Windows gets RCDATA resources from a generated resource script;
# elsewhere a generated source carries the bytes (assembled in with .incbin, so no file is read at
# run time) together with the table the resource functions search.
function(vf_embed_resources target directory)
  set(names "")
  set(files "")
  if(EXISTS "${directory}/resources.list")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${directory}/resources.list")
    file(STRINGS "${directory}/resources.list" lines)
    foreach(line IN LISTS lines)
      string(STRIP "${line}" line)
      if(line STREQUAL "" OR line MATCHES "^#")
        continue()
      endif()
      separate_arguments(pair UNIX_COMMAND "${line}")
      list(GET pair 0 name)
      list(GET pair 1 file)
      list(APPEND names "${name}")
      list(APPEND files "${directory}/${file}")
    endforeach()
  else()
    file(GLOB files CONFIGURE_DEPENDS "${directory}/*.png")
    list(SORT files)
    foreach(file IN LISTS files)
      get_filename_component(name "${file}" NAME_WE)
      string(TOUPPER "${name}" name)
      list(APPEND names "${name}")
    endforeach()
  endif()
  set(out_dir "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources")
  file(MAKE_DIRECTORY "${out_dir}")

  if(WIN32)
    if(NOT files)
      # A resource script without resources does not compile; FindResourceW then finds nothing.
      return()
    endif()
    set(script "// Generated from ${directory}; do not edit.\n")
    foreach(name file IN ZIP_LISTS names files)
      string(APPEND script "${name} RCDATA \"${file}\"\n")
    endforeach()
    file(CONFIGURE OUTPUT "${out_dir}/embedded.rc" CONTENT "${script}")
    target_sources(${target} PRIVATE "${out_dir}/embedded.rc")
    set_source_files_properties("${out_dir}/embedded.rc" PROPERTIES OBJECT_DEPENDS "${files}")
    return()
  endif()

  set(asm "")
  set(decls "")
  set(entries "")
  set(index 0)
  foreach(name file IN ZIP_LISTS names files)
    set(sym "vf_embedded_${index}")
    string(APPEND asm
      "    \".globl ${sym}\\n.hidden ${sym}\\n.balign 16\\n${sym}:\\n.incbin \\\"${file}\\\"\\n\"\n"
      "    \".globl ${sym}_end\\n.hidden ${sym}_end\\n${sym}_end:\\n\"\n")
    string(APPEND decls "extern const std::uint8_t ${sym}[];\nextern const std::uint8_t ${sym}_end[];\n")
    string(APPEND entries "    {u\"${name}\", ${sym}, static_cast<std::uint32_t>(${sym}_end - ${sym})},\n")
    math(EXPR index "${index} + 1")
  endforeach()
  if(index EQUAL 0)
    set(entries "    {nullptr, nullptr, 0},\n")
  endif()

  file(CONFIGURE OUTPUT "${out_dir}/embedded.cpp" @ONLY CONTENT [=[
// Generated from @directory@; do not edit.
#include <cstdint>

#include "platform/embedded_resources.h"
#include "platform/resources.h"

asm(".section .rodata\n"
@asm@    ".previous\n");

extern "C" {
@decls@}

namespace {
const platform::EmbeddedResource kEntries[] = {
@entries@};
const platform::EmbeddedResourceTable kTable{kEntries, @index@};
}  // namespace

platform::ModuleHandle platform::ThisModule() {
  return const_cast<platform::EmbeddedResourceTable*>(&kTable);
}
]=])
  target_sources(${target} PRIVATE "${out_dir}/embedded.cpp")
  set_source_files_properties("${out_dir}/embedded.cpp" PROPERTIES OBJECT_DEPENDS "${files}")
endfunction()
