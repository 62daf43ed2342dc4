# Makes a zip of FILES, each at the zip's root under its own name, the same
# bytes from any build: the names in sorted order, every file dated
# SOURCE_DATE_EPOCH (outside a release, zip's first day, 1980-01-01), plain
# permissions, and no owner, time zone or other extra fields (zip -X).
#   cmake -DZIP=OUT.zip -DFILES=a,b,... -P cmake/Zip.cmake
cmake_minimum_required(VERSION 3.25)
string(REPLACE "," ";" FILES "${FILES}")
set(epoch 315532800)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch $ENV{SOURCE_DATE_EPOCH})
endif()
set(staging ${ZIP}.files)
file(REMOVE_RECURSE ${staging} ${ZIP})
file(MAKE_DIRECTORY ${staging})
set(names "")
foreach(file IN LISTS FILES)
  get_filename_component(name ${file} NAME)
  file(COPY_FILE ${file} ${staging}/${name})
  list(APPEND names ${name})
endforeach()
list(SORT names)
execute_process(COMMAND chmod 644 ${names} WORKING_DIRECTORY ${staging} COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND touch -d @${epoch} ${names} WORKING_DIRECTORY ${staging} COMMAND_ERROR_IS_FATAL ANY)
# zip writes local times: UTC, so the date is the same in every time zone.
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC zip -X -q -9 ${ZIP} ${names}
  WORKING_DIRECTORY ${staging} COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${staging})
