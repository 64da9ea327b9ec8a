// LoadSpawnList over a generated world save against `grep -c TYPE=`, and
// FileChecksum over a large file against `cksum`, in the same run.
//
//   bench_service_scans [--world-mb N] [--checksum-mb N] [--dir DIR]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <filesystem>
#include <fstream>
#include <string>

#include "service/gamedata/checksum.h"
#include "service/gamedata/directory_listing.h"
#include "service/gamedata/resources.h"
#include "service/gamedata/spawn_list.h"
#include "service/host/config.h"
#include "service/host/log.h"
#include "service/host/service_control.h"

namespace fs = std::filesystem;

namespace {

double Seconds(const std::function<void()>& work) {
  auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Best of `runs`, so that a cold page cache does not decide the ratio.
double Best(int runs, const std::function<void()>& work) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) best = std::min(best, Seconds(work));
  return best;
}

// A world save of roughly `mb` megabytes: ordinary items and characters with
// a spawn point every few records, in both the marker and the plain forms.
void WriteWorld(const fs::path& path, long mb) {
  std::ofstream out(path, std::ios::binary);
  const long target = mb * 1024 * 1024;
  long written = 0;
  for (long i = 0; written < target; ++i) {
    std::string rec;
    switch (i % 8) {
      case 0:
        rec = "[WORLDITEM I_SPAWNBIT]\r\nSERIAL=04" + std::to_string(100000 + i) +
              "\r\nTYPE=T_SPAWN_CHAR\r\nMORE1=c_ogre\r\nP=1200,1600,0\r\n";
        break;
      case 1:
        rec = "[WORLDITEM 0eed]\r\nSERIAL=04" + std::to_string(100000 + i) +
              "\r\nTYPE=T_SPAWN_ITEM\r\nMORE=i_gold\r\nP=1300,1500,5\r\nAMOUNT=100\r\n";
        break;
      case 2:
        rec = "[WORLDCHAR c_man]\r\nSERIAL=0" + std::to_string(100000 + i) +
              "\r\nNAME=Guard\r\nP=1400,1700,0\r\nSTR=100\r\nDEX=90\r\nINT=40\r\nHITS=100\r\nCOLOR=083ea\r\n";
        break;
      default:
        rec = "[WORLDITEM i_bread_loaf]\r\nSERIAL=04" + std::to_string(100000 + i) +
              "\r\nP=1500,1800,10\r\nAMOUNT=3\r\nCONT=040a1b2c\r\nTIMER=-1\r\n";
        break;
    }
    out << rec;
    written += static_cast<long>(rec.size());
  }
}

void WriteChecksumFile(const fs::path& path, long mb) {
  std::ofstream out(path, std::ios::binary);
  const long target = mb * 1024 * 1024;
  std::string line = "ITEM=i_longsword_of_vanquishing,AMOUNT=17,COLOR=0481,P=1234,567,8\r\n";
  for (long written = 0; written < target; written += static_cast<long>(line.size())) out << line;
}

long Arg(int argc, char** argv, const char* name, long fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == name) return std::atol(argv[i + 1]);
  }
  return fallback;
}

}  // namespace

int main(int argc, char** argv) {
  long world_mb = Arg(argc, argv, "--world-mb", 200);
  long sum_mb = Arg(argc, argv, "--checksum-mb", 100);
  fs::path dir = fs::temp_directory_path() / "orvosvr-bench";
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == "--dir") dir = argv[i + 1];
  }
  fs::create_directories(dir / "save");
  fs::current_path(dir);
  { std::ofstream(dir / "gyrion.ini", std::ios::binary) << "WORLDSAVE=save\r\n[SERVERS]\r\nBench\r\n"; }

  host::Service().server_name = "bench";
  host::Config().log_directory = dir.string();
  host::CreateOutputMutex();

  std::printf("generating %ld MB world save and %ld MB checksum file in %s\n", world_mb, sum_mb, dir.c_str());
  WriteWorld(dir / "save" / "gyrionworld.scp", world_mb);
  WriteChecksumFile(dir / "big.scp", sum_mb);

  // grep stops at the first match when its output is the null device, so it
  // writes its count to a file.
  std::string grep = "grep -c TYPE= " + (dir / "save" / "gyrionworld.scp").string() + " >" + (dir / "grep.out").string();
  double t_grep = Best(3, [&] { (void)std::system(grep.c_str()); });
  double t_spawn = Best(3, [] { gamedata::LoadSpawnList(); });
  std::printf("LoadSpawnList   %8.3f s   grep -c TYPE=  %8.3f s   ratio %.2f\n", t_spawn, t_grep, t_spawn / t_grep);

  std::string cksum = "cksum " + (dir / "big.scp").string() + " >" + (dir / "cksum.out").string();
  double t_cksum = Best(3, [&] { (void)std::system(cksum.c_str()); });
  long result = 0;
  double t_sum = Best(3, [&] { result = gamedata::FileChecksum((dir / "big.scp").string()); });
  std::printf("FileChecksum    %8.3f s   cksum          %8.3f s   ratio %.2f   (checksum %ld)\n", t_sum, t_cksum,
              t_sum / t_cksum, result);

  host::DestroyOutputMutex();
  fs::current_path(fs::temp_directory_path());
  fs::remove_all(dir);
  return 0;
}
