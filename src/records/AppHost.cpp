#include "AppHost.h"

#include <cstdio>

#include "Cp932.h"

namespace kaede {

namespace {
void Print(const char* kind, const std::string& text) {
  std::string u = std::string(kind) + SjisToUtf8(text) + "\n";
  std::fwrite(u.data(), 1, u.size(), stderr);
}

IAppHost& Headless() {
  static IAppHost headless;
  return headless;
}
IAppHost*& Current() {
  static IAppHost* current = &Headless();
  return current;
}
}  // namespace

void IAppHost::ShowInfo(const std::string& text) { Print("", text); }
void IAppHost::ShowError(const std::string& text) { Print("error: ", text); }
bool IAppHost::Confirm(const std::string& text) {
  Print("", text);
  return false;
}
std::unique_ptr<TDataPathChooser> IAppHost::CreateDataPathChooser() { return nullptr; }

IAppHost& AppHost() { return *Current(); }
void SetAppHost(IAppHost* host) { Current() = host ? host : &Headless(); }

}  // namespace kaede
