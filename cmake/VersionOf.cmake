# hv_version_of(OUT BASE SOURCE_DIR): the version of the tree at SOURCE_DIR, made of the
# release number BASE (project(... VERSION)) and where the tree stands:
#   BASE+gCOMMIT         a git checkout with nothing changed (COMMIT: the short hash)
#   BASE+gCOMMIT-dirty   a git checkout with changes not committed (tracked or new files)
#   BASE+unknown         no git, or the tree is not a checkout of its own (an unpacked
#                        archive, or one inside someone else's repository): the commit is
#                        not known, so the build never passes for a particular one
# Used at configure time (HV_VERSION) and by WriteVersion.cmake at build time.
function(hv_version_of out base source_dir)
  set(version "${base}+unknown")
  find_program(HV_GIT_EXECUTABLE git)
  if(HV_GIT_EXECUTABLE)
    execute_process(COMMAND ${HV_GIT_EXECUTABLE} -C ${source_dir} rev-parse --show-toplevel
                    OUTPUT_VARIABLE top RESULT_VARIABLE top_status OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    get_filename_component(top "${top}" REALPATH)
    get_filename_component(source_real "${source_dir}" REALPATH)
    if(top_status EQUAL 0 AND top STREQUAL source_real)
      execute_process(COMMAND ${HV_GIT_EXECUTABLE} -C ${source_dir} rev-parse --short=7 HEAD
                      OUTPUT_VARIABLE commit RESULT_VARIABLE commit_status OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      # --no-optional-locks: a build must not write to the index a concurrent git command holds.
      execute_process(COMMAND ${HV_GIT_EXECUTABLE} --no-optional-locks -C ${source_dir} status --porcelain
                      OUTPUT_VARIABLE changes RESULT_VARIABLE changes_status ERROR_QUIET)
      if(commit_status EQUAL 0 AND changes_status EQUAL 0 AND commit MATCHES "^[0-9a-f]+$")
        set(version "${base}+g${commit}")
        if(NOT changes STREQUAL "")
          string(APPEND version "-dirty")
        endif()
      endif()
    endif()
  endif()
  set(${out} "${version}" PARENT_SCOPE)
endfunction()
