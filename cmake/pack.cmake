# Run by cpack in the release build (cmake/release.cmake): makes
#   tolvekpre-VERSION-linux-x86_64.tar.gz, the staged Linux install under one
#     top folder of that name, as files only: extracted over an existing
#     prefix, an archive's folder entries would give their modes and times to
#     the user's folders (~/.local/share);
#   tolvekpre-VERSION-win32.zip, the Windows build's install, flat;
#   SHA256SUMS over both.
# Each archive depends on the files alone: entries sorted, every time the
# release's time, owners and modes fixed, no extra fields, so that two
# releases of one commit are the same bytes wherever and whenever made.
set(out ${CPACK_PACKAGE_DIRECTORY})
set(linux ${CPACK_PACKAGE_FILE_NAME})
set(win32 ${CPACK_TOLVEK_WIN32_NAME})
set(stage ${CPACK_TOPLEVEL_DIRECTORY}/${win32})
file(REMOVE_RECURSE ${stage})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${CPACK_TOLVEK_WIN32_BUILD} --prefix ${stage}
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)

file(REMOVE ${out}/${linux}.tar.gz ${out}/${win32}.zip)
get_filename_component(top ${CPACK_TEMPORARY_DIRECTORY} DIRECTORY)
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${top} ${top}/${linux}/*)
list(SORT files)
execute_process(COMMAND ${CPACK_TOLVEK_TAR} --no-recursion --format=gnu --owner=0 --group=0
                        --numeric-owner --mtime=@${CPACK_TOLVEK_EPOCH} --mode=a+rX,u+w,go-w
                        -cf - ${files}
                COMMAND gzip -9n
                OUTPUT_FILE ${out}/${linux}.tar.gz
                WORKING_DIRECTORY ${top} COMMAND_ERROR_IS_FATAL ANY)

# A zip entry's time is local time: UTC keeps it the same everywhere. zip
# takes owners from nowhere with -X, and modes from the files, which the
# install has set.
file(GLOB files LIST_DIRECTORIES false RELATIVE ${stage} ${stage}/*)
list(SORT files)
execute_process(COMMAND touch -d @${CPACK_TOLVEK_EPOCH} ${files}
                WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${CPACK_TOLVEK_ZIP} -q -X
                        ${out}/${win32}.zip ${files}
                WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)

set(sums "")
foreach(archive ${linux}.tar.gz ${win32}.zip)
  file(SHA256 ${out}/${archive} sum)
  string(APPEND sums "${sum}  ${archive}\n")
endforeach()
file(WRITE ${out}/SHA256SUMS "${sums}")
set(CPACK_EXTERNAL_BUILT_PACKAGES ${out}/${linux}.tar.gz ${out}/${win32}.zip)
