# Writes the release zip, the same bytes for the same commit on any machine:
#   cmake -DZIP=zip -DSOURCE_DIR=... -DSTAGE_DIR=... -DOUTPUT=....zip
#         -DFILE_LIST=list.txt -P ReleaseZip.cmake
# FILE_LIST has one line per file, "path|name in the zip", in zip order.
# Every file is copied under its name in the zip into STAGE_DIR, given the
# same permissions and, as its time, the commit's (SOURCE_DATE_EPOCH when set,
# else the time of the last commit of SOURCE_DIR); then "zip -X" stores them
# in the listed order with no owner, no extra time fields and no folders.
# Zip times are local times: the clock is UTC while zipping.
cmake_minimum_required(VERSION 3.20)

foreach(var ZIP SOURCE_DIR STAGE_DIR OUTPUT FILE_LIST)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "ReleaseZip.cmake: ${var} is not set")
  endif()
endforeach()
if(NOT EXISTS "${ZIP}")
  message(FATAL_ERROR "ReleaseZip.cmake: the 'zip' program is not installed "
                      "(scripts/install-deps.sh installs it)")
endif()
file(STRINGS ${FILE_LIST} FILES)

set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "")
  find_program(GIT git)
  if(GIT)
    execute_process(
      COMMAND ${GIT} -c safe.directory=${SOURCE_DIR} -C ${SOURCE_DIR} log -1 --format=%ct
      OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE rc ERROR_QUIET)
    if(NOT rc EQUAL 0)
      set(epoch "")
    endif()
  endif()
endif()
# Zip file times run from 1980.
if(NOT epoch MATCHES "^[0-9]+$" OR epoch LESS 315532800)
  message(FATAL_ERROR "ReleaseZip.cmake: no commit time for the files in the zip: "
                      "${SOURCE_DIR} is not a git checkout with a commit, and "
                      "SOURCE_DATE_EPOCH (seconds since 1970, from 1980 on) is not set")
endif()

find_program(TOUCH touch)
if(NOT TOUCH)
  message(FATAL_ERROR "ReleaseZip.cmake: 'touch' is needed to date the files")
endif()

file(REMOVE_RECURSE ${STAGE_DIR})
file(MAKE_DIRECTORY ${STAGE_DIR})
set(names "")
foreach(pair IN LISTS FILES)
  string(REPLACE "|" ";" fields "${pair}")
  list(GET fields 0 from)
  list(GET fields 1 name)
  if(NOT EXISTS ${from})
    message(FATAL_ERROR "ReleaseZip.cmake: ${from} is missing")
  endif()
  file(COPY_FILE ${from} ${STAGE_DIR}/${name})
  file(CHMOD ${STAGE_DIR}/${name} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  execute_process(COMMAND ${TOUCH} -d @${epoch} ${STAGE_DIR}/${name} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "ReleaseZip.cmake: could not date ${name}")
  endif()
  list(APPEND names ${name})
endforeach()

file(REMOVE ${OUTPUT}.new)
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env TZ=UTC LC_ALL=C ${ZIP} -X -D -q -9 ${OUTPUT}.new ${names}
  WORKING_DIRECTORY ${STAGE_DIR}
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  file(REMOVE ${OUTPUT}.new)
  message(FATAL_ERROR "ReleaseZip.cmake: zip failed (exit ${rc})")
endif()
file(RENAME ${OUTPUT}.new ${OUTPUT})
message(STATUS "Release package: ${OUTPUT}")
