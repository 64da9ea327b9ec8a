// The service's settings from "orvosvr.cfg" and "gyrion.ini", and the folders
// that the commands find in "gyrion.ini" each time they need them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace host {

struct ServiceConfig {
  uint16_t port = 4006;
  int32_t max_connections = 5;
  bool no_multithreading = false;
  bool read_only = false;
  int32_t spawn_refresh_time = 1200;
  std::string allowed_paths;
  std::string allowed_extensions;
  int32_t receive_timeout = 60000;  // milliseconds of patience per phase
  std::string allowed_hosts;
  std::string denied_hosts;
  std::string gyrion_path;
  int32_t game_port = 2593;
  std::string log_directory;
  // Milliseconds slept after each chunk and reply of a transfer (TRANSFERPAUSE);
  // the acknowledgements pace a transfer by themselves.
  int32_t transfer_pause = 0;
  // The largest upload a store accepts, in bytes (MAXUPLOADSIZE).
  int64_t max_upload_size = int64_t{256} * 1024 * 1024;
  // The one local address the listener binds (LISTENADDRESS, blanks around it
  // dropped); empty: every IPv4 address.
  std::string listen_address;
  // After MAXLOGINFAILURES failed logins from one address within
  // LOGINBLOCKTIME seconds, that address is refused for LOGINBLOCKTIME
  // seconds; off unless both are above 0.
  int32_t max_login_failures = 0;
  int32_t login_block_time = 0;
  // The scripts folder (SCPFILES=) and the account folder of "gyrion.ini" as it
  // was read at start-up: the folders a client's names may reach.
  std::string startup_scripts_folder;
  std::string startup_account_folder;
};

// The process-wide settings: written by ServerMain before the listener
// starts, only read afterwards.
ServiceConfig& Config();

// Puts every field back to its default.
void ResetConfig();

// Reads "orvosvr.cfg" from the working directory into Config(), logging as it
// goes, then moves to GYRIONPATH when it is set.
void ReadServiceConfig();
// The GYRIONPATH of "orvosvr.cfg" in the working directory, read as
// ReadServiceConfig reads it but without logging or moving; empty when unset.
std::string ConfiguredGamePath();
// Reads GamePort, LogDirectory and the start-up scripts and account folders
// from "gyrion.ini" in the working directory.
void ReadGameIni();

// The value of the first "gyrion.ini" line that begins with `key` (which
// includes its "="), compared without regard to case, with the line ends
// removed and the case kept as written. With `need_value`, lines with nothing
// after the key are passed over. Nothing when the file or the line is missing.
std::optional<std::string> FindIniValue(const char* key, bool need_value);

// Where the account files are: the value of "ACCTFILES=" wherever it stands,
// otherwise of the first "WORLDSAVE=". Result -1 when "gyrion.ini" is missing,
// 0 with an empty folder when no line names one, 1 when found.
int FindAccountFolder(std::string* folder);

// The scripts folder (SCPFILES=); empty when none is set.
std::string ScriptsFolder();

}  // namespace host
