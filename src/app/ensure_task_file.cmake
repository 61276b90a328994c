# Puts an empty task file beside the program when there is none, as an installer would.
# An existing task file is never touched.
if(NOT EXISTS "${TASK_FILE}")
    file(WRITE "${TASK_FILE}" "")
endif()
