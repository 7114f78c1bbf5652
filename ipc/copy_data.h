// TCopyData: one end of a small channel between processes, built on a mini
// window titled "Mobrisk CopyData: #<n>".
//
// An end finds its peer by the peer's title (LocateTarget), checks it with the
// registered message "Mobrisk.CopyData" (the peer answers with its own
// number), sends it blocks of bytes as copy-data messages (SendData,
// SendStream) and can ask it for data with a request code (Request, answered
// by the peer's OnRequest). With Logging on, an end traces its connection
// events through the trace link (ipc/trace_link.h).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ipc/mini_win.h"
#include "platform/message_stream.h"

namespace ipc {

class TCopyData;

// The bytes are valid only during the call.
using TIncomingDataEvent = std::function<int32_t(TCopyData& Sender, int32_t Data,
                                                 const void* DataPointer, int32_t DataSize)>;
using TRequestDataEvent = std::function<int32_t(TCopyData& Sender, uint16_t Request)>;

inline constexpr char kCheckMessageName[] = "Mobrisk.CopyData";
inline constexpr char kRequestMessageName[] = "Mobrisk.CopyData.Request";
inline constexpr char kHereMessageName[] = "Mobrisk.CopyData.Here";

class TCopyData : public TMiniWin {
 public:
  TCopyData();

  std::string WindowTitle(uint32_t Number) const override;
  int32_t DoMessage(uint16_t Msg, uint16_t WParam, intptr_t LParam) override;

  // OnRequest's answer when it is assigned, else 0.
  virtual int32_t DoRequest(uint16_t Request);
  // A hook for derived classes; answers 0.
  virtual int32_t DoIncoming(int32_t Data, const void* DataPointer, int32_t DataSize);
  // Handles an arriving data block; the result answers the sender's SendData.
  virtual int32_t HandleCopyData(const platform::CopyDataStruct& Record);
  // Finds the window titled for TargetID and checks that it answers with
  // TargetID; Target is that window, or none. True when found.
  virtual bool LocateTarget();
  // Empties the stream, then copies the bytes in (when there are any) and
  // rewinds it.
  virtual void LoadStream(platform::TMessageStream& Stream, const void* DataPointer,
                          int32_t DataSize);
  // Posts the request to a linked peer and pumps messages until its data has
  // arrived (Received), a quit is posted, or the message timeout has passed;
  // once only when Wait is false. False when the peer is not linked.
  virtual bool Request(uint16_t RequestCode, bool Wait);
  // Sends one block to Target and returns its answer (0 without a target).
  virtual int32_t SendData(int32_t Data, const void* DataPointer, int32_t DataSize);
  // Target answers the check with TargetID right now.
  virtual bool IsLinked();
  // SendData with the stream's bytes, then rewinds the stream.
  virtual void SendStream(int32_t Data, platform::TMessageStream& Stream);

  uint32_t CheckMessage() const { return checkMessage_; }
  uint32_t RequestMessage() const { return requestMessage_; }
  // Registered with the others but never sent or handled.
  uint32_t HereMessage() const { return hereMessage_; }

  bool Received = false;
  bool Logging = true;
  TIncomingDataEvent OnIncoming;
  TRequestDataEvent OnRequest;
  platform::WindowHandle Target = 0;
  uint16_t TargetID = 1;

 private:
  uint32_t checkMessage_;
  uint32_t requestMessage_;
  uint32_t hereMessage_;
};

// The title of copy-data window n.
std::string CopyDataTitle(uint32_t number);

}  // namespace ipc
