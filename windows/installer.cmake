# Builds the per-user installer zarnoglot-<version>-win64.msi from the
# Windows ZIP, so that both hold the same files, with wixl and msibuild
# (Debian's msitools). Two ways in:
# - cpack runs it after it made the ZIP (CPACK_POST_BUILD_SCRIPTS in
#   cmake/Packaging.cmake): the ZIP is CPACK_PACKAGE_FILES, the version
#   CPACK_PACKAGE_VERSION, the icon CPACK_ZG_ICON, and the installer goes
#   beside the ZIP into CPACK_PACKAGE_DIRECTORY;
# - cmake -D ZG_ZIP=zip -D ZG_VERSION=26.261 -D ZG_ICON=zarnoglot.ico
#   -D ZG_MSI=out.msi -P windows/installer.cmake, as the package check does
#   to make a newer version of the same files.
cmake_minimum_required(VERSION 3.25)

# The UpgradeCode of zarnoglot.wxs.in, here the namespace from which each
# subfolder's component gets the same GUID in every build.
set(upgradeNamespace 6C0F3E52-8D0B-4C63-9E5A-2B7A41D9F3C8)
# Files the template places itself: the start program with its shortcut,
# and the two files the user may change.
set(placedFiles zarnoGlotStart.exe zarnoGlotWriteW.ini sample.vcb)
# Component attributes that wixl does not write: msidbComponentAttributesPermanent
# (16, the uninstall leaves the file) and msidbComponentAttributesNeverOverwrite
# (128, an install or upgrade that finds the file keeps it).
set(userFileAttributes 144)
set(userFileComponents Settings SampleVocabulary)

# The project's version is year.day; Windows Installer compares major.minor.build
# with a minor of at most 255, so the day becomes the build: 26.260 is 26.0.260.
function(zg_msi_version version result)
  if(NOT version MATCHES "^([0-9]+)\\.([0-9]+)$" OR CMAKE_MATCH_1 GREATER 255 OR CMAKE_MATCH_2 GREATER 65535)
    message(FATAL_ERROR "installer: version ${version} is not year.day")
  endif()
  set(${result} "${CMAKE_MATCH_1}.0.${CMAKE_MATCH_2}" PARENT_SCOPE)
endfunction()

function(zg_xml_escaped text result)
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  string(REPLACE "\"" "&quot;" text "${text}")
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

# An identifier Windows Installer takes for a file or folder: letters, digits,
# underscores and periods, after a prefix.
function(zg_msi_identifier prefix path result)
  string(MAKE_C_IDENTIFIER "${path}" identifier)
  set(${result} "${prefix}${identifier}" PARENT_SCOPE)
endfunction()

function(zg_file_element folder path indent result)
  zg_msi_identifier(File_ "${path}" id)
  get_filename_component(name "${path}" NAME)
  zg_xml_escaped("${name}" name)
  zg_xml_escaped("${folder}/${path}" source)
  set(${result} "${indent}<File Id=\"${id}\" Name=\"${name}\" Source=\"${source}\"/>\n" PARENT_SCOPE)
endfunction()

# The folder holding the unpacked ZIP's programs.
function(zg_unpacked_programs zip work result)
  file(REMOVE_RECURSE "${work}")
  file(ARCHIVE_EXTRACT INPUT "${zip}" DESTINATION "${work}")
  file(GLOB_RECURSE editors "${work}/*/zarnoGlotWriteW.exe" "${work}/zarnoGlotWriteW.exe")
  list(LENGTH editors count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "installer: ${zip} holds ${count} zarnoGlotWriteW.exe, not one")
  endif()
  get_filename_component(folder "${editors}" DIRECTORY)
  set(${result} "${folder}" PARENT_SCOPE)
endfunction()

# Fills ZG_PROGRAM_FILES (the files beside the programs), ZG_FOLDERS (a
# folder with its own component for each subfolder, such as licences) and
# ZG_FOLDER_REFERENCES in the caller.
function(zg_installer_files work folder)
  file(GLOB_RECURSE paths RELATIVE "${work}/${folder}" "${work}/${folder}/*")
  list(SORT paths)
  set(programFiles "")
  set(subfolders)
  foreach(path IN LISTS paths)
    get_filename_component(subfolder "${path}" DIRECTORY)
    if(subfolder STREQUAL "")
      if(NOT path IN_LIST placedFiles)
        zg_file_element("${folder}" "${path}" "              " element)
        string(APPEND programFiles "${element}")
      endif()
    elseif(subfolder MATCHES "/")
      message(FATAL_ERROR "installer: ${path} lies deeper than one folder below the programs")
    else()
      list(APPEND subfolders "${subfolder}")
      zg_file_element("${folder}" "${path}" "                " element)
      string(APPEND filesOf_${subfolder} "${element}")
    endif()
  endforeach()
  list(REMOVE_DUPLICATES subfolders)
  set(folders "")
  set(references "")
  foreach(subfolder IN LISTS subfolders)
    zg_msi_identifier(Folder_ "${subfolder}" id)
    zg_xml_escaped("${subfolder}" name)
    # A folder's component keeps its GUID from version to version.
    string(UUID guid NAMESPACE ${upgradeNamespace} NAME "folder ${subfolder}" TYPE SHA1 UPPER)
    string(APPEND folders
      "            <Directory Id=\"${id}\" Name=\"${name}\">\n"
      "              <Component Id=\"${id}\" Guid=\"{${guid}}\">\n"
      "                <RegistryValue Root=\"HKCU\" Key=\"Software\\ZarnoGlot\\Folders\" Name=\"${name}\"\n"
      "                               Type=\"string\" Value=\"[${id}]\" KeyPath=\"yes\"/>\n"
      "                <RemoveFolder Id=\"Remove${id}\" On=\"uninstall\"/>\n"
      "${filesOf_${subfolder}}"
      "              </Component>\n"
      "            </Directory>\n")
    string(APPEND references "      <ComponentRef Id=\"${id}\"/>\n")
  endforeach()
  set(ZG_PROGRAM_FILES "${programFiles}" PARENT_SCOPE)
  set(ZG_FOLDERS "${folders}" PARENT_SCOPE)
  set(ZG_FOLDER_REFERENCES "${references}" PARENT_SCOPE)
endfunction()

function(zg_run)
  cmake_parse_arguments(PARSE_ARGV 0 run "" "WORKING_DIRECTORY" "")
  if(NOT run_WORKING_DIRECTORY)
    set(run_WORKING_DIRECTORY .)
  endif()
  execute_process(COMMAND ${run_UNPARSED_ARGUMENTS} WORKING_DIRECTORY "${run_WORKING_DIRECTORY}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    list(GET run_UNPARSED_ARGUMENTS 0 program)
    message(FATAL_ERROR "installer: ${program} failed (${status}):\n${output}")
  endif()
endfunction()

function(zg_build_installer zip version icon msi)
  zg_msi_version("${version}" ZG_MSI_VERSION)
  set(ZG_VERSION "${version}")
  # wixl takes only paths relative to the folder it runs in: the work
  # folder, which holds the unpacked ZIP, the icon and the source it is given.
  set(work "${msi}.files")
  zg_unpacked_programs("${zip}" "${work}/unpacked" programs)
  foreach(name IN LISTS placedFiles)
    if(NOT EXISTS "${programs}/${name}")
      message(FATAL_ERROR "installer: ${zip} holds no ${name}")
    endif()
  endforeach()
  file(RELATIVE_PATH ZG_FILES "${work}" "${programs}")
  file(COPY_FILE "${icon}" "${work}/zarnoglot.ico")
  set(ZG_ICON zarnoglot.ico)
  zg_installer_files("${work}" "${ZG_FILES}")
  configure_file("${CMAKE_CURRENT_LIST_DIR}/zarnoglot.wxs.in" "${work}/zarnoglot.wxs" @ONLY)
  file(REMOVE "${msi}")
  zg_run(wixl --arch x64 --output "${msi}" zarnoglot.wxs WORKING_DIRECTORY "${work}")
  list(JOIN userFileComponents "' OR `Component` = '" components)
  zg_run(msibuild "${msi}"
         -q "UPDATE `Component` SET `Attributes` = ${userFileAttributes} WHERE `Component` = '${components}'")
  file(REMOVE_RECURSE "${work}")
  message(STATUS "installer: ${msi}")
endfunction()

if(DEFINED CPACK_PACKAGE_FILES)
  list(FILTER CPACK_PACKAGE_FILES INCLUDE REGEX "-win64\\.zip$")
  if(NOT CPACK_PACKAGE_FILES)
    message(FATAL_ERROR "installer: cpack made no -win64.zip")
  endif()
  zg_build_installer("${CPACK_PACKAGE_FILES}" "${CPACK_PACKAGE_VERSION}" "${CPACK_ZG_ICON}"
                     "${CPACK_PACKAGE_DIRECTORY}/zarnoglot-${CPACK_PACKAGE_VERSION}-win64.msi")
else()
  foreach(variable ZG_ZIP ZG_VERSION ZG_ICON ZG_MSI)
    if(NOT DEFINED ${variable})
      message(FATAL_ERROR "usage: cmake -D ZG_ZIP=zip -D ZG_VERSION=year.day -D ZG_ICON=ico -D ZG_MSI=msi -P installer.cmake")
    endif()
  endforeach()
  zg_build_installer("${ZG_ZIP}" "${ZG_VERSION}" "${ZG_ICON}" "${ZG_MSI}")
endif()
