# Copies the freshly generated data file into the program folder unless a data file is already there.
if(EXISTS "${TARGET}")
  return()
endif()
get_filename_component(dir "${TARGET}" DIRECTORY)
file(MAKE_DIRECTORY "${dir}")
file(COPY_FILE "${SEED}" "${TARGET}.tmp")
# The data file is readable by its owner only.
file(CHMOD "${TARGET}.tmp" PERMISSIONS OWNER_READ OWNER_WRITE)
file(RENAME "${TARGET}.tmp" "${TARGET}")
