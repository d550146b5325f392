# Module resources linked into a program: files as they are, and folders
# packed into a zip at build time.
#
#   kv_add_resources(<target> <id> <type> <file> [<id> <type> <file>...])
# Links each file into the target as the resource <id> of type <type>. The
# files may be made at build time: the caller then makes the target depend on
# whatever makes them.
#
#   kv_add_zip_resource(<target> <folder> <id>)
# Packs the folder into a zip and links it as the resource <id> of type "ZIPRES".

find_program(KV_ZIP_TOOL zip REQUIRED)

function(kv_add_resources target)
    list(LENGTH ARGN count)
    math(EXPR triples "${count} % 3")
    if(count EQUAL 0 OR NOT triples EQUAL 0)
        message(FATAL_ERROR "kv_add_resources(${target}): expected <id> <type> <file> triples")
    endif()
    list(GET ARGN 0 first)
    set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources_${first}.rc")
    set(text "")
    set(files "")
    while(ARGN)
        list(POP_FRONT ARGN id type file)
        string(APPEND text "${id} ${type} \"${file}\"\n")
        list(APPEND files "${file}")
    endwhile()
    file(WRITE "${rc}" "${text}")
    # The target may live in another directory (a test folder's own CMakeLists.txt
    # adds resources to the test program made one level up): source properties
    # are set where the target is.
    target_sources(${target} PRIVATE "${rc}")
    set_source_files_properties("${rc}" TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS "${files}")
endfunction()

function(kv_add_zip_resource target folder id)
    get_filename_component(folder "${folder}" ABSOLUTE)
    set(zip "${CMAKE_CURRENT_BINARY_DIR}/${target}_zipres_${id}.zip")
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
    # A custom command's output is only seen in its own directory, and the
    # target may live in another one: the zip is built through a target of its own.
    add_custom_target(${target}_zipres_${id} DEPENDS "${zip}")
    add_dependencies(${target} ${target}_zipres_${id})
    kv_add_resources(${target} ${id} ZIPRES "${zip}")
endfunction()
