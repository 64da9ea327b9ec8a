# orvosvr.exe's message-table resource (included by service/CMakeLists.txt). Its source is written from the
# service's one table of events by a small program built for, and run on,
# the build machine; windmc compiles it (16-bit texts, language 1033) and
# windres turns the result into an object linked into the executable.
find_program(KIT_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
if(NOT KIT_MC_COMPILER)
  find_program(KIT_MC_COMPILER NAMES x86_64-w64-mingw32-windmc windmc REQUIRED)
endif()

set(KIT_MESSAGE_DIR ${CMAKE_CURRENT_BINARY_DIR}/message_table)
file(MAKE_DIRECTORY ${KIT_MESSAGE_DIR})
set(table_source ${PROJECT_SOURCE_DIR}/service/host/event_messages.cpp)
set(writer ${KIT_MESSAGE_DIR}/write_message_table)
set(mc ${KIT_MESSAGE_DIR}/orvosvr.mc)
set(resource ${KIT_MESSAGE_DIR}/orvosvr_messages.o)

add_custom_command(OUTPUT ${writer}
  COMMAND ${KIT_HOST_CXX} -std=c++20 -I${PROJECT_SOURCE_DIR}
          ${CMAKE_CURRENT_LIST_DIR}/write_message_table.cpp ${table_source} -o ${writer}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/write_message_table.cpp ${table_source}
          ${PROJECT_SOURCE_DIR}/service/host/event_messages.h ${PROJECT_SOURCE_DIR}/service/platform/event_log.h
  COMMENT "Building the message table writer for the build machine")

add_custom_command(OUTPUT ${mc}
  COMMAND ${writer} > ${mc}
  DEPENDS ${writer}
  COMMENT "Writing orvosvr.mc from the table of events")

add_custom_command(OUTPUT ${resource}
  COMMAND ${KIT_MC_COMPILER} -c -U -h ${KIT_MESSAGE_DIR} -r ${KIT_MESSAGE_DIR} ${mc}
  COMMAND ${CMAKE_RC_COMPILER} -O coff -i orvosvr.rc -o ${resource}
  WORKING_DIRECTORY ${KIT_MESSAGE_DIR}
  DEPENDS ${mc}
  COMMENT "Compiling the message table resource")

set_source_files_properties(${resource} PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
target_sources(orvosvr PRIVATE ${resource})
