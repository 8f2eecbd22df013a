# qx_embed_resources(<target> BUNDLE <bundle> RESOURCES <name> <file> [<name> <file>]...)
# Compiles the files into <target> as named resources. The bundle registers itself when the
# function RegisterResources_<bundle>() is called (declared by the caller where it is used).
add_executable(qx_embed ${CMAKE_CURRENT_LIST_DIR}/embed.cpp)
set_target_properties(qx_embed PROPERTIES CXX_STANDARD 20)
# The generator runs at build time; sanitizers would only slow it down.
target_compile_options(qx_embed PRIVATE -fno-sanitize=all)
target_link_options(qx_embed PRIVATE -fno-sanitize=all)

function(qx_embed_resources target)
  cmake_parse_arguments(ARG "" "BUNDLE" "RESOURCES" ${ARGN})
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${ARG_BUNDLE}_resources.cpp)
  set(args)
  set(deps)
  list(LENGTH ARG_RESOURCES count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET ARG_RESOURCES ${i} name)
    list(GET ARG_RESOURCES ${j} file)
    get_filename_component(file ${file} ABSOLUTE)
    list(APPEND args ${name} ${file})
    list(APPEND deps ${file})
  endforeach()
  add_custom_command(OUTPUT ${out}
    COMMAND qx_embed ${out} ${ARG_BUNDLE} ${args}
    DEPENDS qx_embed ${deps}
    COMMENT "Embedding resources of ${ARG_BUNDLE}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()
