# Images under ":/images/" are drawn by our own generator (resources/imagegen)
# at build time and compiled into a Qt resource.
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
    set(pngs)
    set(qrc_text "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/\">\n")
    foreach(img ${images})
        list(APPEND pngs ${out_dir}/images/${img})
        string(APPEND qrc_text "    <file>images/${img}</file>\n")
    endforeach()
    string(APPEND qrc_text "</qresource>\n</RCC>\n")
    file(MAKE_DIRECTORY ${out_dir}/images)
    file(CONFIGURE OUTPUT ${qrc} CONTENT "${qrc_text}")
    add_custom_command(OUTPUT ${pngs}
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
                $<TARGET_FILE:zorvel_imagegen> ${out_dir}/images ${images}
        DEPENDS zorvel_imagegen ${list_file}
        COMMENT "Drawing images for ${qrc_base}")
    set(cpp ${out_dir}/qrc_${ARG_NAME}.cpp)
    add_custom_command(OUTPUT ${cpp}
        COMMAND Qt5::rcc --name ${ARG_NAME} -o ${cpp} ${qrc}
        DEPENDS ${qrc} ${pngs}
        WORKING_DIRECTORY ${out_dir}
        COMMENT "Compiling resource ${qrc_base}")
    set_source_files_properties(${cpp} PROPERTIES GENERATED TRUE SKIP_AUTOMOC ON)
    set(${out_var} ${cpp} PARENT_SCOPE)
endfunction()
