#include "ipc/copy_data.h"

#include <chrono>

#include "ipc/trace_link.h"
#include "platform/misc.h"

namespace ipc {
namespace {

void traceConnection(uint8_t kind, std::string_view format, std::initializer_list<TraceArg> args) {
  Trace(kind, "TCopyData", "Connection", format, args);
}

}  // namespace

std::string CopyDataTitle(uint32_t number) {
  return "Mobrisk CopyData: #" + std::to_string(number);
}

TCopyData::TCopyData()
    : TMiniWin(CopyDataTitle(1)),
      checkMessage_(platform::registerWindowMessage(kCheckMessageName)),
      requestMessage_(platform::registerWindowMessage(kRequestMessageName)),
      hereMessage_(platform::registerWindowMessage(kHereMessageName)) {}

std::string TCopyData::WindowTitle(uint32_t Number) const {
  return CopyDataTitle(Number);
}

int32_t TCopyData::DoMessage(uint16_t Msg, uint16_t WParam, intptr_t LParam) {
  const int32_t inherited = TMiniWin::DoMessage(Msg, WParam, LParam);
  if (Msg == platform::WM_COPYDATA) {
    return HandleCopyData(*reinterpret_cast<const platform::CopyDataStruct*>(LParam));
  }
  if (Msg == checkMessage_ && WParam == ID()) return ID();
  if (Msg == requestMessage_) {
    Target = static_cast<platform::WindowHandle>(LParam);
    return DoRequest(WParam);
  }
  return inherited;
}

int32_t TCopyData::DoRequest(uint16_t Request) {
  return OnRequest ? OnRequest(*this, Request) : 0;
}

int32_t TCopyData::DoIncoming(int32_t, const void*, int32_t) {
  return 0;
}

int32_t TCopyData::HandleCopyData(const platform::CopyDataStruct& Record) {
  if (Logging) traceConnection(2, "Received Data (%d)", {ID()});
  const auto size = static_cast<int32_t>(Record.cbData);
  int32_t result = DoIncoming(Record.dwData, Record.lpData, size);
  if (OnIncoming) result = OnIncoming(*this, Record.dwData, Record.lpData, size);
  Received = true;
  return result;
}

bool TCopyData::LocateTarget() {
  if (Logging) traceConnection(2, "%d Location %d", {ID(), TargetID});
  Target = platform::findWindow(CopyDataTitle(TargetID));
  if (Target != 0 && platform::sendMessage(Target, checkMessage_, TargetID, 0) != TargetID) {
    Target = 0;
  }
  if (Logging) {
    traceConnection(3, "Target Located: %s (%d)", {platform::BoolText(Target != 0), TargetID});
  }
  return Target != 0;
}

void TCopyData::LoadStream(platform::TMessageStream& Stream, const void* DataPointer,
                           int32_t DataSize) {
  Stream.Clear();
  if (DataPointer == nullptr || DataSize <= 0) return;
  Stream.Write(
      std::string_view(static_cast<const char*>(DataPointer), static_cast<size_t>(DataSize)));
  Stream.Seek(0);
}

bool TCopyData::Request(uint16_t RequestCode, bool Wait) {
  if (Logging) traceConnection(2, "%d requesting from %d (%d)", {ID(), TargetID, RequestCode});
  if (!IsLinked()) return false;
  Received = false;
  platform::postMessage(Target, requestMessage_, RequestCode, Handle());
  // The peer's answer arrives as a data block; a peer that never sends one
  // costs one message timeout, not a hang.
  const auto deadline = std::chrono::steady_clock::now() + platform::messageTimeout();
  for (;;) {
    if (platform::PumpMessages() || Received || !Wait) break;
    const auto left = deadline - std::chrono::steady_clock::now();
    if (left <= left.zero()) break;
    platform::waitMessage(std::chrono::ceil<std::chrono::milliseconds>(left));
  }
  return true;
}

int32_t TCopyData::SendData(int32_t Data, const void* DataPointer, int32_t DataSize) {
  if (Logging) traceConnection(2, "%d sending to %d (%d)", {ID(), TargetID, Data});
  const size_t size = DataPointer == nullptr || DataSize <= 0 ? 0 : static_cast<size_t>(DataSize);
  return platform::sendCopyData(Target, Handle(), Data,
                                std::string_view(static_cast<const char*>(DataPointer), size));
}

bool TCopyData::IsLinked() {
  const bool linked =
      Target != 0 && platform::sendMessage(Target, checkMessage_, TargetID, 0) == TargetID;
  if (Logging) {
    traceConnection(4, "%d linked to %d (%s)", {ID(), TargetID, platform::BoolText(linked)});
  }
  return linked;
}

void TCopyData::SendStream(int32_t Data, platform::TMessageStream& Stream) {
  SendData(Data, Stream.Bytes().data(), static_cast<int32_t>(Stream.Size()));
  Stream.Seek(0);
}

}  // namespace ipc
