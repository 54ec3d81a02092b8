message(FATAL_ERROR "telvarim: ${CPACK_TELVARIM_RECUSA}")
