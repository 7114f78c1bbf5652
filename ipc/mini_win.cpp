#include "ipc/mini_win.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace ipc {
namespace {

std::mutex& registryMutex() {
  static std::mutex mutex;
  return mutex;
}

// Every live TMiniWin of the process.
std::vector<TMiniWin*>& registry() {
  static std::vector<TMiniWin*> objects;
  return objects;
}

TMiniWin* objectOfWindow(platform::WindowHandle window) {
  std::lock_guard lock(registryMutex());
  for (TMiniWin* object : registry()) {
    if (object->Handle() == window) return object;
  }
  return nullptr;
}

// The one window procedure of all mini windows. Default processing answers
// 0; the object owning the window answers through DoMessage. Message number
// and wparam reach it as 16-bit values, as they always have.
int32_t miniWindowProc(platform::WindowHandle window, uint32_t msg, int32_t wparam,
                       intptr_t lparam) {
  TMiniWin* object = objectOfWindow(window);
  if (!object) return 0;
  return object->DoMessage(static_cast<uint16_t>(msg), static_cast<uint16_t>(wparam), lparam);
}

std::string limitTitle(std::string title) {
  if (title.size() > kMaxTitleLength) title.resize(kMaxTitleLength);
  return title;
}

}  // namespace

std::string MiniWindowTitle(uint32_t number) {
  return "Mobrisk MINI: #" + std::to_string(number);
}

TMiniWin::TMiniWin() : TMiniWin(MiniWindowTitle(1)) {}

TMiniWin::TMiniWin(std::string_view firstTitle)
    : window_(std::make_unique<platform::Endpoint>(limitTitle(std::string(firstTitle)),
                                                   miniWindowProc)) {
  std::lock_guard lock(registryMutex());
  registry().push_back(this);
}

TMiniWin::~TMiniWin() {
  std::lock_guard lock(registryMutex());
  std::erase(registry(), this);
}

std::string TMiniWin::WindowTitle(uint32_t Number) const {
  return MiniWindowTitle(Number);
}

int32_t TMiniWin::DoMessage(uint16_t Msg, uint16_t WParam, intptr_t LParam) {
  return OnMessage ? OnMessage(*this, Msg, WParam, LParam) : 0;
}

void TMiniWin::SetID(uint16_t Value) {
  id_ = Value;
  window_->setTitle(limitTitle(WindowTitle(Value)));
}

uint16_t TMiniWin::FindFreeID() {
  for (uint32_t number = 1; number <= 0xFFFF; ++number) {
    if (platform::findWindow(limitTitle(WindowTitle(number))) == 0) {
      SetID(static_cast<uint16_t>(number));
      return static_cast<uint16_t>(number);
    }
  }
  return 0;
}

}  // namespace ipc
