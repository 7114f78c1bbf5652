// TMiniWin: an object that owns one hidden window and turns the messages
// sent to it into calls of DoMessage (and its OnMessage event).
//
// The window is a named endpoint (platform/endpoint.h) whose title carries the
// object's number: "Mobrisk MINI: #<n>". Every live TMiniWin is kept in one
// process-wide registry, through which the window procedure finds the object
// a message is for. Objects belong to the thread that created them: their
// messages arrive while that thread pumps (PumpMessages) or waits for an
// answer of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/endpoint.h"

namespace ipc {

class TMiniWin;

using TMiniEvent =
    std::function<int32_t(TMiniWin& Sender, uint16_t Msg, uint16_t WParam, intptr_t LParam)>;

// The class of all mini windows, kept for the record: endpoints have no
// classes, so nothing registers it.
inline constexpr char kMiniWindowClass[] = "Mobrisk.Mini";
// A window title has at most this many characters.
inline constexpr size_t kMaxTitleLength = 128;

class TMiniWin {
 public:
  // Creates the window titled WindowTitle(1). Throws platform::FileError when
  // no endpoint can be created.
  TMiniWin();
  virtual ~TMiniWin();
  TMiniWin(const TMiniWin&) = delete;
  TMiniWin& operator=(const TMiniWin&) = delete;

  // The window title for a number.
  virtual std::string WindowTitle(uint32_t Number) const;
  // OnMessage's answer when it is assigned, else 0.
  virtual int32_t DoMessage(uint16_t Msg, uint16_t WParam, intptr_t LParam);
  // Takes the number; the window's title becomes WindowTitle(Value). Does
  // not check whether another window already has that title.
  virtual void SetID(uint16_t Value);
  // SetID with the first number from 1 up whose title no live window has;
  // returns it (0 when all are taken).
  virtual uint16_t FindFreeID();

  uint16_t ID() const { return id_; }
  platform::WindowHandle Handle() const { return window_->handle(); }
  const std::string& Title() const { return window_->title(); }

  TMiniEvent OnMessage;

 protected:
  // For derived classes whose first title differs: a virtual WindowTitle is
  // not yet the derived one while the base is being constructed.
  explicit TMiniWin(std::string_view firstTitle);

 private:
  uint16_t id_ = 0;
  std::unique_ptr<platform::Endpoint> window_;
};

// The title of mini window n.
std::string MiniWindowTitle(uint32_t number);

}  // namespace ipc
