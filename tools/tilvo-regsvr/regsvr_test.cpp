#include "regsvr.h"

#include <cstring>
#include <sstream>

#include <gtest/gtest.h>

#include "artcontrol/automation/class_registry.h"
#include "artcontrol/platform/file_access.h"
#include "artcontrol/platform/module.h"
#include "testing/tilvo/scoped_environment.h"
#include "testing/temp_folder.h"

namespace tilvo::regsvr_tool {
namespace {

class RegsvrTest : public ::testing::Test {
 protected:
  int Run(const std::vector<std::string>& args) {
    out_.str({});
    err_.str({});
    return RunRegsvr(args, out_, err_);
  }
  // The registration file as a registry, empty when there is none.
  ClassRegistry Registered() const {
    std::vector<std::uint8_t> bytes;
    platform::ReadWholeFile(folder_.Path() + "/share/tilvo/registration.ini", 1 << 20, bytes);
    return ClassRegistry::Parse(std::string(bytes.begin(), bytes.end()));
  }

  testing_support::TempFolder folder_;
  testing::ScopedEnvironment data_{"XDG_DATA_HOME", folder_.Path() + "/share"};
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(RegsvrTest, RegistersAndUnregistersTheModule) {
  ASSERT_EQ(Run({TILVO_MODULE}), kSucceeded) << err_.str();
  EXPECT_EQ(out_.str(), std::string("DllRegisterServer in ") + TILVO_MODULE + " succeeded (" + folder_.Path() +
                            "/share/tilvo/registration.ini).\n");
  EXPECT_TRUE(Registered().HasKey("TILVO.TilvoCtrl.1"));
  ASSERT_EQ(Run({"-u", TILVO_MODULE}), kSucceeded) << err_.str();
  EXPECT_EQ(out_.str().rfind("DllUnregisterServer in ", 0), 0u) << out_.str();
  EXPECT_FALSE(Registered().HasKey("TILVO.TilvoCtrl.1"));
}

TEST_F(RegsvrTest, SaysWhyItFailed) {
  const std::string libc = platform::PathOfModuleContaining(reinterpret_cast<const void*>(&std::strlen));
  const std::string blocker = folder_.WriteText("plain-file", "x");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string message;
  } cases[] = {
      {{}, kBadArguments, "usage: tilvo-regsvr [-u] MODULE\n"},
      {{"-x", TILVO_MODULE}, kBadArguments, "usage: tilvo-regsvr [-u] MODULE\n"},
      {{TILVO_MODULE, TILVO_MODULE}, kBadArguments, "usage: tilvo-regsvr [-u] MODULE\n"},
      {{"-u"}, kBadArguments, "usage: tilvo-regsvr [-u] MODULE\n"},
      {{folder_.File("none.so")}, kLoadFailed, "The module \"" + folder_.File("none.so") + "\" failed to load.\n"},
      {{"none.so"}, kLoadFailed, "The module \"./none.so\" failed to load.\n"},
      {{libc}, kNoEntryPoint,
       "The module \"" + libc + "\" was loaded but the entry-point DllRegisterServer was not found.\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.args), c.status) << c.message;
    EXPECT_EQ(err_.str(), c.message);
    EXPECT_EQ(out_.str(), "");
  }
  // The module's own failure code, when its registration file cannot be written.
  testing::ScopedEnvironment blocked("XDG_DATA_HOME", blocker);
  EXPECT_EQ(Run({TILVO_MODULE}), kCallFailed);
  EXPECT_EQ(err_.str(), std::string("DllRegisterServer in ") + TILVO_MODULE + " failed. Return code was: 0x80040200\n");
}

}  // namespace
}  // namespace tilvo::regsvr_tool
