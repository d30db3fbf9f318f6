# Writes the example settings file only where none exists: a configured one is never replaced
# and its mode is left alone. The file appears with mode 0600 whatever the umask or the mode of
# the example: it is written under another name, narrowed, then renamed into place.
if(EXISTS "${TARGET}" OR IS_SYMLINK "${TARGET}")
  return()
endif()
get_filename_component(folder "${TARGET}" DIRECTORY)
file(MAKE_DIRECTORY "${folder}")
set(unfinished "${TARGET}.new")
file(REMOVE "${unfinished}")
file(COPY_FILE "${SOURCE}" "${unfinished}")
file(CHMOD "${unfinished}" PERMISSIONS OWNER_READ OWNER_WRITE)
# A file that appeared meanwhile stays, and the build goes on; CMake may rename through a hard
# link and leave the old name behind.
file(RENAME "${unfinished}" "${TARGET}" NO_REPLACE RESULT renamed)
file(REMOVE "${unfinished}")
