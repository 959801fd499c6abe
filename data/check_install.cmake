# Steps of the install tests, run as
#     cmake -D STEP=stage|icons -D BUILD_DIR=... -D PREFIX=... -D APP_ID=... -D ICON_SIZES=... -P check_install.cmake

if(STEP STREQUAL "stage")
    # An install writes the build's install_manifest.txt, which a real
    # installation may still need for uninstalling: keep it as it was.
    set(manifest ${BUILD_DIR}/install_manifest.txt)
    if(EXISTS ${manifest})
        file(READ ${manifest} saved_manifest)
    endif()
    file(REMOVE_RECURSE ${PREFIX})
    execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                    RESULT_VARIABLE result)
    if(DEFINED saved_manifest)
        file(WRITE ${manifest} "${saved_manifest}")
    else()
        file(REMOVE ${manifest})
    endif()
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "cmake --install into ${PREFIX} failed: ${result}")
    endif()

    foreach(file bin/quillan share/applications/${APP_ID}.desktop share/metainfo/${APP_ID}.metainfo.xml)
        if(NOT EXISTS ${PREFIX}/${file})
            message(FATAL_ERROR "not installed: ${file}")
        endif()
    endforeach()
    execute_process(COMMAND test -x ${PREFIX}/bin/quillan RESULT_VARIABLE not_executable)
    if(not_executable)
        message(FATAL_ERROR "bin/quillan is not executable")
    endif()

elseif(STEP STREQUAL "icons")
    foreach(size IN LISTS ICON_SIZES)
        set(icon ${PREFIX}/share/icons/hicolor/${size}x${size}/apps/quillan.png)
        if(NOT EXISTS ${icon})
            message(FATAL_ERROR "no ${size}x${size} icon: ${icon}")
        endif()
        execute_process(COMMAND identify -format "%m %wx%h" ${icon}
                        OUTPUT_VARIABLE found RESULT_VARIABLE result)
        if(NOT result EQUAL 0 OR NOT found STREQUAL "PNG ${size}x${size}")
            message(FATAL_ERROR "${icon} is '${found}', not a ${size}x${size} PNG")
        endif()
    endforeach()

else()
    message(FATAL_ERROR "unknown STEP '${STEP}'")
endif()
