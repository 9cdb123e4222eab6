# add_gauge_module(<deliverable>
#     SOURCES <files...>          module sources (framework/module.cpp is added)
#     RC <script>                 the module's one resource script
#     [DEFINES <defs...>]         compile and resource-script definitions
#     [WINDOWS_LIBS <libs...>]    import libraries of the platform functions it calls
#     [NATIVE_LIBS <targets...>]  native stand-ins of those functions)
#
# Windows build: <deliverable>.gau, a DLL exporting exactly Linkage and ImportTable, with no
# C runtime start-up code. Native build: <deliverable>.so, loaded by the panel host emulator,
# carrying the same compiled resources.

find_program(GAUGE_WINDRES NAMES i686-w64-mingw32-windres windres REQUIRED)
set(GAUGE_ART_DIR "${CMAKE_BINARY_DIR}/art" CACHE PATH "Folder holding the drawn bitmaps and samples")

set(GAUGE_MODULE_FLAGS -fno-exceptions -fno-rtti -fno-ipa-icf -fno-asynchronous-unwind-tables
    -fno-tree-loop-distribute-patterns -Wall -Wextra)

function(add_gauge_module name)
    cmake_parse_arguments(G "" "RC" "SOURCES;DEFINES;WINDOWS_LIBS;NATIVE_LIBS" ${ARGN})

    # One compiled resource file from the one script, used by both builds.
    set(res "${CMAKE_CURRENT_BINARY_DIR}/${name}.res")
    set(rc_defines "")
    foreach(d ${G_DEFINES})
        list(APPEND rc_defines "-D${d}")
    endforeach()
    add_custom_command(
        OUTPUT "${res}"
        COMMAND "${GAUGE_WINDRES}" ${rc_defines} -I "${PROJECT_SOURCE_DIR}" -I "${GAUGE_ART_DIR}"
                --input-format=rc --output-format=res -i "${CMAKE_CURRENT_SOURCE_DIR}/${G_RC}" -o "${res}"
        DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${G_RC}" "${PROJECT_SOURCE_DIR}/framework/version_info.rc" ${GAUGE_ART_DEPENDS}
        COMMENT "Compiling resources of ${name}")

    if(WIN32)
        set(res_obj "${CMAKE_CURRENT_BINARY_DIR}/${name}_res.o")
        add_custom_command(
            OUTPUT "${res_obj}"
            COMMAND "${GAUGE_WINDRES}" --input-format=res --output-format=coff -i "${res}" -o "${res_obj}"
            DEPENDS "${res}")
        add_library(${name} SHARED ${G_SOURCES} "${PROJECT_SOURCE_DIR}/framework/module.cpp"
                    "${PROJECT_SOURCE_DIR}/framework/exports.def" "${res_obj}")
        set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".gau")
        target_compile_options(${name} PRIVATE ${GAUGE_MODULE_FLAGS} -fno-stack-protector -mno-stack-arg-probe)
        target_link_options(${name} PRIVATE -nostdlib -nostartfiles -static-libgcc "-Wl,-e,_DllMain@12"
                            -Wl,--exclude-all-symbols)
        target_link_libraries(${name} PRIVATE ${G_WINDOWS_LIBS} gcc)
        install(TARGETS ${name} RUNTIME DESTINATION gauges LIBRARY DESTINATION gauges)
    else()
        set(GAUGE_MODULE_NAME ${name})
        set(GAUGE_RES_FILE "${res}")
        set(embed "${CMAKE_CURRENT_BINARY_DIR}/${name}_resources.cpp")
        configure_file("${PROJECT_SOURCE_DIR}/framework/native_resources.cpp.in" "${embed}" @ONLY)
        set_source_files_properties("${embed}" PROPERTIES OBJECT_DEPENDS "${res}")
        add_library(${name} MODULE ${G_SOURCES} "${PROJECT_SOURCE_DIR}/framework/module.cpp" "${embed}")
        set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".so"
                              CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
                              LIBRARY_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/modules")
        target_compile_options(${name} PRIVATE ${GAUGE_MODULE_FLAGS} -fno-gnu-unique ${GAUGE_SANITIZE_FLAGS})
        target_link_options(${name} PRIVATE
                            "-Wl,--version-script=${PROJECT_SOURCE_DIR}/framework/native_exports.map"
                            -Wl,-z,defs ${GAUGE_SANITIZE_FLAGS})
        target_link_libraries(${name} PRIVATE gauge_platform ${G_NATIVE_LIBS})
        set_property(GLOBAL APPEND PROPERTY GAUGE_MODULES ${name})
    endif()
    target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}")
    target_compile_definitions(${name} PRIVATE ${G_DEFINES})
endfunction()
