#include "tools/orvo/cli.h"

#include <ostream>

#include "tools/orvo/commands.h"
#include "tools/orvo/credentials.h"
#include "tools/orvo/options.h"
#include "tools/orvo/platform_tunnel.h"
#include "tools/orvo/profiles.h"
#include "tools/orvo/progress.h"
#include "tools/orvo/shell.h"

namespace orvo {

namespace {

constexpr std::string_view kUsageHead =
    "usage: orvo [options] COMMAND [ARGUMENTS]\n"
    "commands:\n";

constexpr std::string_view kUsageOptions =
    "options:\n"
    "  --profile NAME        the saved server to use (default: $ORVO_PROFILE, else the profile \"default\")\n"
    "  --host HOST           the service's host (default 127.0.0.1)\n"
    "  --port PORT           the service's port (default 4006)\n"
    "  --ssh [USER@]HOST[:PORT]\n"
    "                        go through this SSH server (ssh -W, or $ORVO_SSH); --host\n"
    "                        and --port are then the service's as that server sees them\n"
    "  --user NAME           the account to log in with\n"
    "  --password-file FILE  read the password from the first line of FILE\n"
    "  --timeout SECONDS     patience for each reply (default 120)\n"
    "  --idle SECONDS        raw: stop after this long without a reply (default 2)\n"
    "  --json                spawns, dir, checksum, resources, port, sync: print JSON\n"
    "  --large               put, edit, sync: store files of more than 2,999 packets\n"
    "                        (about 3 MB) on a service that reads uploads up to its\n"
    "                        MAXUPLOADSIZE\n"
    "  --force               sync push: store files that changed on the server too\n";

constexpr std::string_view kUsageTail =
    "options given here override them. The password comes from --password-file, else\n"
    "from ORVO_PASSWORD, else from the profile's password-file or password-command, else\n"
    "from a prompt on the terminal; never from the command line.\n"
    "Exit status: 0 done, 1 refused or failed by the service, 2 bad usage (also no\n"
    "password source and no terminal), 3 login refused, 4 connection failed or broken,\n"
    "5 a local file or password source failed, 6 edit or sync push found a file\n"
    "changed on the server.\n";

// The command line's value, else the profile's, else what `target` holds.
template <typename T>
void Pick(const std::optional<T>& given, const std::optional<T>& profiled, T* target) {
  if (given) {
    *target = *given;
  } else if (profiled) {
    *target = *profiled;
  }
}

// Weighs the command line, the profile and the defaults; an empty result, or
// what is wrong (a usage problem).
std::string Resolve(const Options& o, const Profile* p, Settings* settings, PasswordSources* sources) {
  Profile none;
  const Profile& profile = p ? *p : none;
  Pick(o.host, profile.host, &settings->host);
  Pick(o.port, profile.port, &settings->port);
  Pick(o.ssh, profile.ssh, &settings->ssh);
  Pick(o.timeout_ms, profile.timeout_ms, &settings->timeout_ms);
  Pick(o.user, profile.user, &settings->user);
  if (settings->user.empty()) return "--user is required (or a profile with user =)";
  sources->option_file = o.password_file;
  sources->profile_file = profile.password_file;
  sources->profile_command = profile.password_command;
  return "";
}

}  // namespace

int OpenSession(const Settings& settings, Session* session) {
  int r = settings.ssh.empty()
              ? Connect(settings.host, settings.port, settings.timeout_ms, session)
              : ConnectThroughSsh(settings.ssh_program, settings.ssh, settings.host, settings.port, settings.timeout_ms,
                                  session);
  if (r == kOk) r = Login(*session, settings.user, settings.password);
  return r;
}

int ExitStatusFor(int result) {
  switch (result) {
    case kOk:
      return kExitOk;
    case kRefused:
    case kFailedReply:
    case kUnknownCommand:
      return kExitRefused;
    case kBadCredentials:
    case kInsufficientLevel:
    case kAccountFileMissing:
      return kExitLogin;
    case kLocalFileError:
      return kExitLocalFile;
    case kInvalidInput:
      return kExitUsage;
    case kConflict:
      return kExitConflict;
    default:
      return kExitConnection;
  }
}

int RunOrvo(const std::vector<std::string>& args, const Environment& env) {
  Options options;
  std::string problem = ParseArguments(args, Where::kCommandLine, &options);
  if (options.help) {
    *env.out << kUsageHead << CommandUsage(Where::kCommandLine) << kUsageOptions << "Profiles are the sections of "
             << ConfigFilePlace() << ";\n" << kUsageTail;
    return kExitOk;
  }
  if (!problem.empty()) {
    *env.err << "orvo: " << problem << " (orvo --help shows the usage)\n";
    return kExitUsage;
  }
  Session session;
  Context ctx{env, &session, nullptr, false, nullptr, &options};
  if (FindCommand(options.words[0])->flags & kNoSession) {
    int r = RunCommand(ctx, options);
    if (r != kOk) *env.err << "orvo: " << CommandTitle(options) << ": " << session.Problem() << "\n";
    return ExitStatusFor(r);
  }

  std::vector<Profile> profiles;
  std::string config = ConfigFilePath(env);
  if (!config.empty() && LoadProfiles(env, config, &profiles, &problem) != 0) {
    *env.err << "orvo: " << problem << "\n";
    return kExitLocalFile;
  }
  const Profile* profile = nullptr;
  std::optional<std::string> wanted = options.profile ? options.profile : env.Variable("ORVO_PROFILE");
  if (ChooseProfile(profiles, wanted, options.host, options.ssh, &profile, &problem) != 0) {
    *env.err << "orvo: " << problem << " in " << (config.empty() ? "the config file" : config) << "\n";
    return kExitUsage;
  }
  Settings settings;
  settings.ssh_program = env.Variable("ORVO_SSH").value_or(platform::DefaultSshProgram());
  PasswordSources sources;
  problem = Resolve(options, profile, &settings, &sources);
  if (!problem.empty()) {
    *env.err << "orvo: " << problem << " (orvo --help shows the usage)\n";
    return kExitUsage;
  }
  int found = FindPassword(sources, settings.user, env, &settings.password, &problem);
  if (found != 0) {
    *env.err << "orvo: " << problem << "\n";
    return found == kNoPasswordSource ? kExitUsage : kExitLocalFile;
  }

  ProgressMeter meter(env);
  auto open = [&] {
    int r = OpenSession(settings, &session);
    session.SetProgress([&](long long done, long long total) { meter.Update(done, total); });
    return r;
  };
  int r = open();
  if (r != kOk) {
    *env.err << "orvo: login as " << settings.user << ": " << session.Problem() << "\n";
    return ExitStatusFor(r);
  }
  ctx.reconnect = open;
  ctx.meter = &meter;
  if (options.words[0] == "shell") return RunShell(ctx, settings);

  r = RunCommand(ctx, options);
  meter.Finish();
  problem = session.Problem();
  // A command that leaves the session in step ends it politely.
  if (session.Usable()) Quit(session);
  if (r != kOk) *env.err << "orvo: " << CommandTitle(options) << ": " << problem << "\n";
  return ExitStatusFor(r);
}

}  // namespace orvo
