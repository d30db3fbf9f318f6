# Copies the freshly generated data file into the program folder unless a data file is already there.
if(EXISTS "${TARGET}")
  return()
endif()
get_filename_component(dir "${TARGET}" DIRECTORY)
file(MAKE_DIRECTORY "${dir}")
file(COPY_FILE "${SEED}" "${TARGET}.tmp")
file(RENAME "${TARGET}.tmp" "${TARGET}")
