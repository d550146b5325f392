# Packs a folder into a zip at build time and links it into a program as a
# resource of type "ZIPRES" with the given integer id.
#
#   kv_add_zip_resource(<target> <folder> <id>)

find_program(KV_ZIP_TOOL zip REQUIRED)

function(kv_add_zip_resource target folder id)
    get_filename_component(folder "${folder}" ABSOLUTE)
    set(zip "${CMAKE_CURRENT_BINARY_DIR}/${target}_zipres_${id}.zip")
    set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}_zipres_${id}.rc")
    file(GLOB_RECURSE inputs CONFIGURE_DEPENDS "${folder}/*")

    # zip updates an existing archive in place, so start from nothing each time;
    # -X leaves out host-specific extra fields so the bytes only depend on the files.
    add_custom_command(OUTPUT "${zip}"
        COMMAND ${CMAKE_COMMAND} -E rm -f "${zip}"
        COMMAND ${KV_ZIP_TOOL} -q -r -X -D "${zip}" .
        WORKING_DIRECTORY "${folder}"
        DEPENDS ${inputs}
        COMMENT "Packing ${folder} into ZIPRES ${id}"
        VERBATIM)
    file(WRITE "${rc}" "${id} ZIPRES \"${zip}\"\n")
    # The target may live in another directory (a test folder's own CMakeLists.txt
    # packs data for the test program made one level up): a custom command's output
    # and source properties are only seen in their own directory, so the zip is
    # built through a target of its own, and the .rc's dependency on it is set
    # where the program's target is.
    add_custom_target(${target}_zipres_${id} DEPENDS "${zip}")
    add_dependencies(${target} ${target}_zipres_${id})
    set_source_files_properties("${rc}" TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS "${zip}")
    target_sources(${target} PRIVATE "${rc}")
endfunction()
