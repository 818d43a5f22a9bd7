# Images under ":/images/" and the desktop's icons are drawn by our own
# generator (resources/imagegen) at build time; the images are compiled into
# Qt resources.
#
# zorvel_draw_images(<out-var> <folder> IMAGES <file name>... [DEPENDS <file>...])
# draws each named image into <folder> and returns the paths of the drawn files
# in <out-var>.
#
# zorvel_image_resources(<out-var> <qrc-base> NAME <resource-name> LIST <list-file>)
# reads one image file name per line from <list-file> (lines starting with # are
# comments), draws each into the build folder and returns the generated rcc
# source in <out-var>. The resource registers as qInitResources_<resource-name>.

add_executable(zorvel_imagegen
    resources/imagegen/main.cpp
    resources/imagegen/ImageCatalog.cpp
    resources/imagegen/LibraryImages.cpp
    resources/imagegen/ProgramImages.cpp)
target_link_libraries(zorvel_imagegen PRIVATE Qt5::Gui Qt5::Svg)

function(zorvel_draw_images out_var folder)
    cmake_parse_arguments(ARG "" "" "IMAGES;DEPENDS" ${ARGN})
    set(files)
    foreach(img ${ARG_IMAGES})
        list(APPEND files ${folder}/${img})
    endforeach()
    file(MAKE_DIRECTORY ${folder})
    add_custom_command(OUTPUT ${files}
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
                $<TARGET_FILE:zorvel_imagegen> ${folder} ${ARG_IMAGES}
        DEPENDS zorvel_imagegen ${ARG_DEPENDS}
        COMMENT "Drawing images into ${folder}")
    set(${out_var} ${files} PARENT_SCOPE)
endfunction()

function(zorvel_image_resources out_var qrc_base)
    cmake_parse_arguments(ARG "" "NAME;LIST" "" ${ARGN})
    set(list_file ${CMAKE_SOURCE_DIR}/${ARG_LIST})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${list_file})
    set(images)
    if(EXISTS ${list_file})
        file(STRINGS ${list_file} lines)
        foreach(line ${lines})
            string(STRIP "${line}" line)
            if(line AND NOT line MATCHES "^#")
                list(APPEND images ${line})
            endif()
        endforeach()
    endif()
    if(NOT images)
        set(${out_var} "" PARENT_SCOPE)
        return()
    endif()
    set(out_dir ${CMAKE_BINARY_DIR}/generated/${qrc_base})
    set(qrc ${out_dir}/${qrc_base}.qrc)
    set(qrc_text "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/\">\n")
    foreach(img ${images})
        string(APPEND qrc_text "    <file>images/${img}</file>\n")
    endforeach()
    string(APPEND qrc_text "</qresource>\n</RCC>\n")
    file(CONFIGURE OUTPUT ${qrc} CONTENT "${qrc_text}")
    zorvel_draw_images(pngs ${out_dir}/images IMAGES ${images} DEPENDS ${list_file})
    set(cpp ${out_dir}/qrc_${ARG_NAME}.cpp)
    add_custom_command(OUTPUT ${cpp}
        COMMAND Qt5::rcc --name ${ARG_NAME} -o ${cpp} ${qrc}
        DEPENDS ${qrc} ${pngs}
        WORKING_DIRECTORY ${out_dir}
        COMMENT "Compiling resource ${qrc_base}")
    set_source_files_properties(${cpp} PROPERTIES GENERATED TRUE SKIP_AUTOMOC ON)
    set(${out_var} ${cpp} PARENT_SCOPE)
endfunction()
