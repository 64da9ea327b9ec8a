// Saved servers: the INI file $XDG_CONFIG_HOME/orvo/config (on Windows
// %APPDATA%\orvo\config), one section per profile, with the host, port, user
// and where the password comes from (a password file, or a command whose
// first line of output is the password; never the password itself).
//
//   [default]
//   host = shard.example.net
//   user = Warden
//   ssh = warden@shard.example.net
//   password-command = pass show gyrion/warden
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/orvo/environment.h"

namespace orvo {

struct Profile {
  std::string name;
  std::optional<std::string> host;
  std::optional<uint16_t> port;
  std::optional<std::string> ssh;  // [user@]host[:port] of an SSH server to go through
  std::optional<std::string> user;
  std::optional<std::string> password_file;     // "~/" and relative paths expanded
  std::optional<std::string> password_command;  // run by /bin/sh (on Windows by cmd)
  std::optional<int> timeout_ms;
};

// The profile chosen when none is named.
inline constexpr std::string_view kDefaultProfile = "default";

// Reads the profiles of an INI text into `profiles`, in the file's order.
// Relative password files are taken relative to `folder`. An empty result, or
// what is wrong, with its line number.
std::string ParseProfiles(std::string_view text, const Environment& env, const std::string& folder,
                          std::vector<Profile>* profiles);

// Reads the config file at `path` (a missing file holds no profiles). It is
// refused when others may change it (it names commands that orvo runs), and
// when it names a password file while others may read it. 0, or -1 with the
// reason.
int LoadProfiles(const Environment& env, const std::string& path, std::vector<Profile>* profiles,
                 std::string* error);

// The profile to use: `wanted` (from --profile or ORVO_PROFILE) when given,
// which must exist; otherwise "default" when there is one, unless `host`
// (from --host) names another machine than the default's, or `ssh` (from
// --ssh) another SSH server, which must not get its password; otherwise none
// (nullptr). 0, or -1 with the reason.
int ChooseProfile(const std::vector<Profile>& profiles, const std::optional<std::string>& wanted,
                  const std::optional<std::string>& host, const std::optional<std::string>& ssh,
                  const Profile** chosen, std::string* error);

}  // namespace orvo
