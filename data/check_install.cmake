# SPDX-License-Identifier: MIT
# Steps of the install tests, run as
#     cmake -D STEP=stage|icons|metainfo|manpage|docs -D BUILD_DIR=... -D PREFIX=... -D APP_ID=...
#           -D VERSION=... -D SOURCE_DIR=... -P check_install.cmake
# against the list of installed files that the build wrote, BUILD_DIR/installed-files.txt
# or, for the reader of NEWS.md,
#     cmake -D STEP=release_notes -D SOURCE_DIR=... -D WORK_DIR=... -P check_install.cmake

cmake_minimum_required(VERSION 3.25)

if(DEFINED BUILD_DIR)
    file(STRINGS ${BUILD_DIR}/installed-files.txt installed)
endif()

# The text of a gzip file, or a failure when it is none.
function(read_gzip file out)
    execute_process(COMMAND gzip -dc ${file} OUTPUT_VARIABLE text RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${file} is not a gzip file")
    endif()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(expect_match text regex what)
    if(NOT text MATCHES "${regex}")
        message(FATAL_ERROR "${what}: no match for ${regex}")
    endif()
endfunction()

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

    foreach(file IN LISTS installed)
        if(NOT EXISTS ${PREFIX}/${file})
            message(FATAL_ERROR "not installed: ${file}")
        endif()
    endforeach()
    file(GLOB_RECURSE staged RELATIVE ${PREFIX} ${PREFIX}/*)
    foreach(file IN LISTS staged)
        if(NOT file IN_LIST installed)
            message(FATAL_ERROR "installed but not in installed-files.txt: ${file}")
        endif()
    endforeach()
    execute_process(COMMAND test -x ${PREFIX}/bin/quillan RESULT_VARIABLE not_executable)
    if(not_executable)
        message(FATAL_ERROR "bin/quillan is not executable")
    endif()

elseif(STEP STREQUAL "icons")
    set(sizes)
    foreach(file IN LISTS installed)
        if(NOT file MATCHES "/icons/hicolor/([0-9]+)x([0-9]+)/apps/quillan\\.png$")
            continue()
        endif()
        set(size ${CMAKE_MATCH_1})
        list(APPEND sizes ${size})
        set(icon ${PREFIX}/${file})
        if(NOT CMAKE_MATCH_1 STREQUAL CMAKE_MATCH_2)
            message(FATAL_ERROR "an icon that is not square: ${file}")
        endif()
        execute_process(COMMAND identify -format "%m %wx%h" ${icon}
                        OUTPUT_VARIABLE found RESULT_VARIABLE result)
        if(NOT result EQUAL 0 OR NOT found STREQUAL "PNG ${size}x${size}")
            message(FATAL_ERROR "${icon} is '${found}', not a ${size}x${size} PNG")
        endif()
    endforeach()
    # The one size the icon theme requires.
    if(NOT 48 IN_LIST sizes)
        message(FATAL_ERROR "no 48x48 icon among ${sizes}")
    endif()

elseif(STEP STREQUAL "metainfo")
    set(metainfo ${PREFIX}/share/metainfo/${APP_ID}.metainfo.xml)
    # Every finding fails but these two, which cannot be mended:
    #   cid-contains-uppercase-letter  the id is the app id that the desktop
    #                                  entry and the window already carry;
    #   unknown-tag developer          Debian 12's AppStream 0.16 predates
    #                                  <developer>, which newer readers want.
    set(accepted "P cid-contains-uppercase-letter ${APP_ID}" "I unknown-tag developer")
    execute_process(COMMAND appstreamcli validate --pedantic --no-net ${metainfo}
                    OUTPUT_VARIABLE report ERROR_VARIABLE report RESULT_VARIABLE result)
    string(REGEX MATCHALL "(^|\n)[A-Z]: [^\n]*" findings "${report}")
    foreach(finding IN LISTS findings)
        string(STRIP "${finding}" finding)
        string(REGEX REPLACE "^([A-Z]): [^ ]*:[0-9]*: " "\\1 " finding "${finding}")
        if(NOT finding IN_LIST accepted)
            message(FATAL_ERROR "appstreamcli validate --pedantic:\n${report}")
        endif()
    endforeach()
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "appstreamcli validate --pedantic failed:\n${report}")
    endif()

    # What the validator takes as optional but a software centre shows.
    file(READ ${metainfo} xml)
    expect_match("${xml}" "<url type=\"homepage\">https://[^<]+</url>" "homepage")
    expect_match("${xml}" "<url type=\"bugtracker\">https://[^<]+</url>" "bug tracker")
    expect_match("${xml}" "<developer id=\"[^\"]+\">[ \n]*<name>[^<]+</name>" "developer")
    expect_match("${xml}" "<screenshot type=\"default\">[ \n]*<caption>[^<]+</caption>[ \n]*<image type=\"source\">https://[^<]+/docs/screenshot.png</image>"
                 "screenshot")
    expect_match("${xml}" "<supports>[ \n]*<control>pointing</control>" "pointing control")
    expect_match("${xml}" "<content_attribute id=\"money-gambling\">none</content_attribute>" "no gambling")
    string(REPLACE "." "\\." version_pattern "${VERSION}")
    expect_match("${xml}" "<releases>[ \n]*<release version=\"${version_pattern}\" date=\"[0-9]+-[0-9]+-[0-9]+\">[ \n]*<description>[ \n]*<(p|ul)>"
                 "release ${VERSION} first, with notes")

elseif(STEP STREQUAL "manpage")
    set(page ${PREFIX}/share/man/man6/quillan.6.gz)
    read_gzip(${page} text)
    string(REPLACE "." "\\." version_pattern "${VERSION}")
    expect_match("${text}" "\n\\.TH QUILLAN 6 \"[0-9]+-[0-9]+-[0-9]+\" \"Quillan ${version_pattern}\"" "${page} title line")
    # groff reads it with every warning on; man-db's index reads its NAME.
    file(WRITE ${BUILD_DIR}/quillan.6.checked "${text}")
    execute_process(COMMAND groff -man -Tutf8 -ww -z ${BUILD_DIR}/quillan.6.checked
                    ERROR_VARIABLE warnings RESULT_VARIABLE result)
    if(NOT result EQUAL 0 OR NOT warnings STREQUAL "")
        message(FATAL_ERROR "groff -man -ww on ${page}:\n${warnings}")
    endif()
    execute_process(COMMAND lexgrog ${BUILD_DIR}/quillan.6.checked OUTPUT_VARIABLE whatis RESULT_VARIABLE result)
    expect_match("${whatis}" ": \"quillan - [^\"]+\"" "the NAME line of ${page}")

elseif(STEP STREQUAL "docs")
    set(doc ${PREFIX}/share/doc/quillan)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${SOURCE_DIR}/LICENSE ${doc}/copyright
                    RESULT_VARIABLE differs)
    if(differs)
        message(FATAL_ERROR "${doc}/copyright is not LICENSE")
    endif()
    read_gzip(${doc}/changelog.gz text)
    string(REPLACE "." "\\." version_pattern "${VERSION}")
    expect_match("${text}" "^quillan \\(${version_pattern}\\) unstable; urgency=medium\n\n  [^ ]" "changelog's first entry")
    expect_match("${text}" "\n -- [^<]+ <[^@>]+@[^>]+>  [A-Z][a-z][a-z], [0-9][0-9] [A-Z][a-z][a-z] [0-9]+ 00:00:00 \\+0000\n$"
                 "changelog's last line")

elseif(STEP STREQUAL "release_notes")
    # The reader on made-up notes: two releases, both kinds of block, and
    # characters that CMake lists and XML treat specially.
    set(PROJECT_NAME quillan)
    set(PROJECT_VERSION 2.1.0)
    include(${SOURCE_DIR}/cmake/ReleaseNotes.cmake)
    file(REMOVE_RECURSE ${WORK_DIR})
    file(WRITE ${WORK_DIR}/NEWS.md [=[
# Notes

An introduction with a - that is not a list.

## 2.1.0 (2024-02-29)

Fixes [two] things; **both** in `odds` & <cards>.

- A very long item that goes on and on about what changed in this release so
  that it has to be wrapped onto a second line in the changelog.
- Short.

## 2.0.0 (2000-01-01)

- Only a list.
]=])
    quillan_read_release_notes(${WORK_DIR}/NEWS.md ${WORK_DIR}/changelog "A B <a@b.example>")
    file(READ ${WORK_DIR}/changelog changelog)
    set(expected [=[
quillan (2.1.0) unstable; urgency=medium

  Fixes [two] things; both in odds & <cards>.

  * A very long item that goes on and on about what changed in this release so
    that it has to be wrapped onto a second line in the changelog.
  * Short.

 -- A B <a@b.example>  Thu, 29 Feb 2024 00:00:00 +0000

quillan (2.0.0) unstable; urgency=medium

  * Only a list.

 -- A B <a@b.example>  Sat, 01 Jan 2000 00:00:00 +0000
]=])
    if(NOT changelog STREQUAL expected)
        message(FATAL_ERROR "changelog:\n${changelog}\nexpected:\n${expected}")
    endif()
    set(expected [=[<release version="2.1.0" date="2024-02-29">
      <description>
        <p>Fixes [two] things; both in odds &amp; &lt;cards&gt;.</p>
        <ul>
          <li>A very long item that goes on and on about what changed in this release so that it has to be wrapped onto a second line in the changelog.</li>
          <li>Short.</li>
        </ul>
      </description>
    </release>
    <release version="2.0.0" date="2000-01-01">
      <description>
        <ul>
          <li>Only a list.</li>
        </ul>
      </description>
    </release>]=])
    if(NOT QUILLAN_RELEASES_XML STREQUAL expected)
        message(FATAL_ERROR "releases:\n${QUILLAN_RELEASES_XML}\nexpected:\n${expected}")
    endif()
    if(NOT QUILLAN_RELEASE_DATE STREQUAL "2024-02-29")
        message(FATAL_ERROR "release date ${QUILLAN_RELEASE_DATE}, not 2024-02-29")
    endif()

    # Notes that do not start with the version in project() stop the build.
    file(WRITE ${WORK_DIR}/stale.cmake "set(PROJECT_NAME quillan)\nset(PROJECT_VERSION 2.2.0)\n"
               "include(${SOURCE_DIR}/cmake/ReleaseNotes.cmake)\n"
               "quillan_read_release_notes(${WORK_DIR}/NEWS.md ${WORK_DIR}/stale-changelog x)\n")
    execute_process(COMMAND ${CMAKE_COMMAND} -P ${WORK_DIR}/stale.cmake
                    ERROR_VARIABLE complaint RESULT_VARIABLE result)
    string(REGEX REPLACE "[ \n]+" " " complaint "${complaint}")  # CMake wraps its messages
    if(result EQUAL 0 OR NOT complaint MATCHES "the newest release is 2\\.1\\.0, but project\\(\\) says 2\\.2\\.0")
        message(FATAL_ERROR "notes of 2.1.0 were taken for 2.2.0: ${complaint}")
    endif()

else()
    message(FATAL_ERROR "unknown STEP '${STEP}'")
endif()
