# CPack's External generator runs this on the staged install to make the
# release archive with Info-ZIP's zip: CPack's own zip writer stores each
# file's access time, so no two archives would agree. Here the entries come
# sorted, each with the release's time and no extra fields, so the archive
# depends on the files alone. SHA256SUMS beside it checks it.
set(archive ${CPACK_PACKAGE_FILE_NAME}.zip)
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${CPACK_TEMPORARY_DIRECTORY}
     ${CPACK_TEMPORARY_DIRECTORY}/*)
list(SORT files)
execute_process(COMMAND touch -d @${CPACK_TOLVEK_EPOCH} ${files}
                WORKING_DIRECTORY ${CPACK_TEMPORARY_DIRECTORY} COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE ${CPACK_PACKAGE_DIRECTORY}/${archive})
# A zip entry's time is local time; UTC keeps it the same everywhere.
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC zip -q -X ${CPACK_PACKAGE_DIRECTORY}/${archive}
                        ${files}
                WORKING_DIRECTORY ${CPACK_TEMPORARY_DIRECTORY} COMMAND_ERROR_IS_FATAL ANY)
file(SHA256 ${CPACK_PACKAGE_DIRECTORY}/${archive} sum)
file(WRITE ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS "${sum}  ${archive}\n")
set(CPACK_EXTERNAL_BUILT_PACKAGES ${CPACK_PACKAGE_DIRECTORY}/${archive})
