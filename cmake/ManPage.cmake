# Makes a gzipped manual page from a program's --help and --version with help2man:
#   cmake -DHELP2MAN=… -DPROGRAM=… -DDESCRIPTION=… -DOUTPUT=page.1.gz -P ManPage.cmake
# The program is started by its bare name from PATH, so that a usage line made from argv[0]
# names no build folder. help2man dates the page by SOURCE_DATE_EPOCH when it is set.
get_filename_component(folder "${PROGRAM}" DIRECTORY)
get_filename_component(name "${PROGRAM}" NAME)
set(ENV{PATH} "${folder}:$ENV{PATH}")
set(ENV{LC_ALL} C.UTF-8)
string(REGEX REPLACE "\\.gz$" "" page "${OUTPUT}")
# Ninja makes an output's folder itself, Makefiles do not.
get_filename_component(output_folder "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${output_folder}")
execute_process(
  COMMAND ${HELP2MAN} --no-info --name=${DESCRIPTION} --output=${page} ${name}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "help2man could not make the manual page of ${name}")
endif()
# -n: no name or time stamp in the archive, so that the same page gives the same bytes.
execute_process(COMMAND gzip -9 -n -f ${page} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip could not compress ${page}")
endif()
