#include "tools/orvo/edit.h"

#include <ostream>

#include "tools/orvo/server_copy.h"
#include "tools/orvo/platform_files.h"
#include "tools/orvo/platform_process.h"
#include "wire/commands.h"

namespace orvo {

namespace {

std::string LastPart(const std::string& name) {
  size_t sep = name.find_last_of("/\\");
  return sep == std::string::npos ? name : name.substr(sep + 1);
}

// The scratch folder and its one file, removed when the edit is done unless
// the edited copy has to be kept.
class Scratch {
 public:
  ~Scratch() {
    if (keep_ || folder_.empty()) return;
    std::string ignored;
    platform::RemoveFile(file_, &ignored);
    platform::RemoveEmptyFolder(folder_);
  }
  int Create(const Environment& env, const std::string& name, std::string* error) {
    if (platform::MakePrivateFolder(TempFolder(env), "orvo-edit-", &folder_, error) != 0) return -1;
    std::string base = LastPart(name);
    file_ = platform::JoinPath(folder_, base.empty() || base == "." || base == ".." ? "file" : base);
    return 0;
  }
  const std::string& File() const { return file_; }
  void Keep() { keep_ = true; }

 private:
  std::string folder_, file_;
  bool keep_ = false;
};

int WriteScratch(const std::string& path, const std::string& data, std::string* error) {
  platform::AtomicFile file;
  if (file.Open(path, error) != 0 || file.Write(data.data(), data.size(), error) != 0) return -1;
  return file.Commit(error);
}

}  // namespace

std::string RoundTripName(const std::string& name) {
  return name.find_first_of("/\\") == std::string::npos ? "./" + name : name;
}

std::string EditorCommand(const Environment& env) {
  if (auto visual = env.Variable("VISUAL")) return *visual;
  if (auto editor = env.Variable("EDITOR")) return *editor;
  return platform::DefaultEditor();
}

std::string WithLfLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

int RunEdit(Context& ctx, const Options& options) {
  const std::string& name = options.words[1];
  std::string remote = RoundTripName(name);
  std::ostream& err = *ctx.env.err;
  std::string original, error;
  long long size = 0;
  int r = Fetch(*ctx.session, std::string(wire::kFetchFile) + remote, [&](std::string_view chunk) {
    original.append(chunk);
    return true;
  }, &size);
  if (r != kOk) return r;
  Scratch scratch;
  if (scratch.Create(ctx.env, name, &error) != 0 || WriteScratch(scratch.File(), original, &error) != 0) {
    return ctx.session->Fail(kLocalFileError, error);
  }
  const ServerCopy fetched = CopyOf(original);

  std::string editor = EditorCommand(ctx.env);
  int code = platform::RunWithFile(editor, scratch.File(), &error);
  std::string edited;
  if (platform::ReadWholeFile(scratch.File(), &edited, &error) != 0) {
    return ctx.session->Fail(kLocalFileError, "the edited file is gone: " + error + "; nothing was stored");
  }
  bool changed = edited != original;
  // From here on, every way out that does not store keeps a changed copy.
  auto keep = [&](int result, const std::string& why) {
    if (changed) {
      scratch.Keep();
      err << "orvo: your edited copy is kept at " << scratch.File() << "\n";
    }
    return ctx.session->Fail(result, why);
  };
  if (code != 0) {
    std::string what = code < 0 ? error : "the editor (" + editor + ") failed with exit status " + std::to_string(code);
    return keep(kLocalFileError, what + "; nothing was stored");
  }
  if (!changed) {
    *ctx.env.out << name << " unchanged; nothing stored\n";
    return kOk;
  }

  Session& s = *ctx.session;
  // The editor may have been open for hours: the connection may be gone.
  if ((!s.Usable() || s.PeerHasClosed()) && ctx.reconnect && (r = ctx.reconnect()) != kOk) {
    return keep(r, ctx.session->Problem());
  }
  r = CheckServerCopy(*ctx.session, remote, fetched);
  if (r == kConflict) return keep(r, name + " changed on the server since it was fetched; nothing was stored");
  if (r != kOk) return keep(r, ctx.session->Problem());
  std::string text = WithLfLineEnds(edited);
  if ((r = Store(*ctx.session, std::string(wire::kStoreFile) + remote, text, options.large)) != kOk) return keep(r, ctx.session->Problem());
  *ctx.env.out << "stored " << name << " (" << text.size() << " bytes)\n";
  return kOk;
}

}  // namespace orvo
