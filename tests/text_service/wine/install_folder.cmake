# Makes the install folder from this build tree the way scripts/build.sh does (the same
# install rules, stripped) at STAGE, replacing any earlier one. Run with -DBUILD=... -DSTAGE=...
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${STAGE} --strip
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install ${BUILD} --prefix ${STAGE} --strip failed: ${status}")
endif()
