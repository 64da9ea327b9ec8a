// A stand-in for the game server's executable "gyrionsvr.exe", for the tests
// of STRT on Windows. Started plainly, it writes "gyrionsvr-started.txt" in
// its working folder and ends. With "--service", it runs as an NT service
// under the Service Control Manager: it writes the same file once running
// and stops when told to.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

SERVICE_STATUS_HANDLE g_status = nullptr;
HANDLE g_stop = nullptr;

void Mark(const char* how) {
  if (FILE* f = std::fopen("gyrionsvr-started.txt", "wb")) {
    std::fputs(how, f);
    std::fclose(f);
  }
}

void Report(DWORD state) {
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  ::SetServiceStatus(g_status, &status);
}

VOID WINAPI Control(DWORD control) {
  if (control == SERVICE_CONTROL_STOP) ::SetEvent(g_stop);
}

VOID WINAPI ServiceMain(DWORD, LPSTR* argv) {
  g_status = ::RegisterServiceCtrlHandlerA(argv[0], Control);
  if (g_status == nullptr) return;
  g_stop = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  // A service starts in the system folder; the mark goes beside the program.
  char path[MAX_PATH];
  DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  while (n > 0 && path[n - 1] != '\\') --n;
  path[n] = '\0';
  ::SetCurrentDirectoryA(path);
  Report(SERVICE_RUNNING);
  Mark("service");
  ::WaitForSingleObject(g_stop, INFINITE);
  Report(SERVICE_STOPPED);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--service") == 0) {
    char name[] = "";  // an own-process service may leave its name out
    SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {nullptr, nullptr}};
    return ::StartServiceCtrlDispatcherA(table) ? 0 : 1;
  }
  Mark("console");
  return 0;
}
