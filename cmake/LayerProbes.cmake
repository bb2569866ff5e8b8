# The one-way rule between the libraries, shown by the compiler: a source of
# a layer sees exactly the include folders of what that layer links, so a
# header of a higher layer (or of a sibling it does not link) is not found.
# Each probe is one file that includes one header, compiled with a layer's
# include folders; CTest builds it and expects the header to be missing, or
# for a layer's own and lower headers to compile.

set(vexa_probe_dir ${CMAKE_BINARY_DIR}/layer-probes)

# vexa_layer_probe(library header found|missing)
function(vexa_layer_probe library header expect)
  string(MAKE_C_IDENTIFIER "${library}_${header}" name)
  set(source ${vexa_probe_dir}/${name}.cpp)
  file(WRITE ${source}.in "#include \"${header}\"\n")
  configure_file(${source}.in ${source} COPYONLY)
  add_library(probe_${name} OBJECT EXCLUDE_FROM_ALL ${source})
  vexa_defaults(probe_${name})
  target_include_directories(probe_${name} PRIVATE $<TARGET_PROPERTY:${library},INCLUDE_DIRECTORIES>)
  if(NOT VEXA_RUN_TESTS)
    return()
  endif()
  add_test(NAME layer_${name} COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target probe_${name})
  if(expect STREQUAL "missing")
    set_tests_properties(layer_${name} PROPERTIES PASS_REGULAR_EXPRESSION "${header}: No such file")
  endif()
endfunction()

# What each layer may see...
vexa_layer_probe(vexa_hw Utf16Unit.h found)
vexa_layer_probe(vexa_settings HardwareObject.h found)
vexa_layer_probe(vexa_news LinkLabel.h found)
vexa_layer_probe(vexa_news LanguageTable.h found)
vexa_layer_probe(vexa_panel NewsWindow.h found)
# ...and what it may not.
vexa_layer_probe(vexa_base HardwareObject.h missing)
vexa_layer_probe(vexa_hw ProgramRegistry.h missing)
vexa_layer_probe(vexa_hw Slider.h missing)
vexa_layer_probe(vexa_controls HardwareObject.h missing)
vexa_layer_probe(vexa_controls NewsWindow.h missing)
vexa_layer_probe(vexa_settings NewsFetcher.h missing)
vexa_layer_probe(vexa_settings MainPanel.h missing)
vexa_layer_probe(vexa_news MainPanel.h missing)
vexa_layer_probe(vexa_panel Application.h missing)
