# Compile time. Qt's headers take most of the time of compiling a file of this
# project, and a library's files each read them again.
#
# VANTREL_PCH: the Qt headers are compiled once per build tree into a
# precompiled header that every C++ target of the tree reads (REUSE_FROM). The
# targets of a tree share their compiler flags, and the Qt headers in it test
# none of the macros in which targets differ (QT_GUI_LIB and the other module
# macros, QT_TESTCASE_*), so the one header is valid for all; should that ever
# change, -Winvalid-pch warns and warnings are errors in the test builds.
#
# VANTREL_UNITY: each library is compiled as a few files that each include up
# to 8 of its sources (CMake's unity build). Names at file scope of a library's
# .cpp files must therefore differ within the library, anonymous namespace or
# not.
option(VANTREL_PCH "Compile the Qt headers once per build tree" ON)
option(VANTREL_UNITY "Compile each library in batches of its sources" ON)

if(VANTREL_PCH)
  add_library(vantrel_pch STATIC ${CMAKE_CURRENT_LIST_DIR}/pch/Empty.cpp)
  # Qt Core's flags and definitions, which every target has, and the include
  # folders of Gui and Widgets without their definitions: a definition the
  # header was made with must be there in every file that reads it.
  target_link_libraries(vantrel_pch PRIVATE Qt6::Core)
  target_include_directories(vantrel_pch SYSTEM PRIVATE $<TARGET_PROPERTY:Qt6::Gui,INTERFACE_INCLUDE_DIRECTORIES>
                                                        $<TARGET_PROPERTY:Qt6::Widgets,INTERFACE_INCLUDE_DIRECTORIES>)
  target_precompile_headers(vantrel_pch PRIVATE ${CMAKE_CURRENT_LIST_DIR}/pch/QtHeaders.h)
endif()

# Applies both to every C++ target below DIR.
function(vantrel_compile_faster dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(target STREQUAL vantrel_pch OR NOT type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|OBJECT_LIBRARY)$")
      continue()
    endif()
    if(VANTREL_PCH)
      target_precompile_headers(${target} REUSE_FROM vantrel_pch)
      # A program's moc file is nearly always empty (a test includes its own
      # .moc); reading the header would cost it more than it saves.
      if(type STREQUAL "EXECUTABLE")
        get_target_property(binary_dir ${target} BINARY_DIR)
        set_source_files_properties(${binary_dir}/${target}_autogen/mocs_compilation.cpp TARGET_DIRECTORY ${target}
                                    PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
      endif()
    endif()
    if(VANTREL_UNITY AND NOT type STREQUAL "EXECUTABLE")
      set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    vantrel_compile_faster(${subdir})
  endforeach()
endfunction()
