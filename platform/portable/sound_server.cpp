// The sound server through libpulse, which PulseAudio and PipeWire's PulseAudio interface both
// answer: the list of its sources, and recording from one of them. Implements
// platform::ListSoundSources, AudioInput::OpenOutputMonitor and AudioInput::OpenNamed; without a
// sound server the last falls back to SDL's recording devices.
//
// Each connection runs libpulse's threaded main loop. Its callbacks run on that loop's thread with
// the loop's lock held; the samples and the texts they hand on are guarded by a mutex of their own,
// always taken after the loop's lock, so Read never waits for the server.
#include <pulse/pulseaudio.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio_system.h"
#include "platform/audio_input.h"
#include "platform/sound_server.h"

namespace platform {
namespace {

constexpr std::size_t kChannels = 2;
// Held unread at most; a reader that falls further behind gets the latest sound, not a backlog.
constexpr std::size_t kHeldSeconds = 2;
// How often the server hands over what it recorded: often enough for 60 frames a second.
constexpr pa_usec_t kFragmentMicroseconds = 15000;

std::string Text(const char* text) { return text != nullptr ? text : ""; }

class LoopLock {
 public:
  explicit LoopLock(pa_threaded_mainloop* loop) : FLoop(loop) { pa_threaded_mainloop_lock(FLoop); }
  ~LoopLock() { pa_threaded_mainloop_unlock(FLoop); }
  LoopLock(const LoopLock&) = delete;
  LoopLock& operator=(const LoopLock&) = delete;

 private:
  pa_threaded_mainloop* FLoop;
};

// One connection to the server, without starting a server where none runs.
class PulseClient {
 public:
  PulseClient() = default;
  PulseClient(const PulseClient&) = delete;
  PulseClient& operator=(const PulseClient&) = delete;
  ~PulseClient() {
    if (FContext != nullptr) {
      LoopLock lock(FLoop);
      pa_context_set_state_callback(FContext, nullptr, nullptr);
      pa_context_disconnect(FContext);
      pa_context_unref(FContext);
    }
    if (FLoop != nullptr) {
      pa_threaded_mainloop_stop(FLoop);
      pa_threaded_mainloop_free(FLoop);
    }
  }

  // False, with why, when no server answers.
  bool Connect(std::string& why) {
    FLoop = pa_threaded_mainloop_new();
    if (FLoop == nullptr) {
      why = "no sound server (libpulse cannot start its main loop)";
      return false;
    }
    FContext = pa_context_new(pa_threaded_mainloop_get_api(FLoop), "Vindelux Fan");
    if (FContext == nullptr || pa_threaded_mainloop_start(FLoop) < 0) {
      why = "no sound server (libpulse cannot start)";
      return false;
    }
    LoopLock lock(FLoop);
    pa_context_set_state_callback(FContext, &PulseClient::Signal, FLoop);
    if (pa_context_connect(FContext, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
      why = "no sound server (" + Error() + ")";
      return false;
    }
    for (;;) {
      const pa_context_state_t state = pa_context_get_state(FContext);
      if (state == PA_CONTEXT_READY) return true;
      if (!PA_CONTEXT_IS_GOOD(state)) {
        why = "no sound server (" + Error() + ")";
        return false;
      }
      pa_threaded_mainloop_wait(FLoop);
    }
  }

  pa_threaded_mainloop* Loop() const { return FLoop; }
  pa_context* Context() const { return FContext; }
  std::string Error() const { return pa_strerror(pa_context_errno(FContext)); }

  // Waits, under the loop's lock, until the operation is done; its callbacks must signal.
  void Await(pa_operation* operation) const {
    if (operation == nullptr) return;
    while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING) pa_threaded_mainloop_wait(FLoop);
    pa_operation_unref(operation);
  }

  static void Signal(pa_context*, void* loop) {
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
  }

 private:
  pa_threaded_mainloop* FLoop = nullptr;
  pa_context* FContext = nullptr;
};

struct ServerFacts {
  std::string server;  // name and version, as the server gives them
  std::string defaultSink;
};

// Under the loop's lock.
ServerFacts QueryServer(const PulseClient& client) {
  struct Query {
    ServerFacts facts;
    pa_threaded_mainloop* loop;
  } query{{}, client.Loop()};
  client.Await(pa_context_get_server_info(
      client.Context(),
      [](pa_context*, const pa_server_info* info, void* data) {
        auto& q = *static_cast<Query*>(data);
        if (info != nullptr) {
          q.facts.server = Text(info->server_name) + " " + Text(info->server_version);
          q.facts.defaultSink = Text(info->default_sink_name);
        }
        pa_threaded_mainloop_signal(q.loop, 0);
      },
      &query));
  return query.facts;
}

// The monitor source of an output, empty when it has none; under the loop's lock.
std::string MonitorOf(const PulseClient& client, const std::string& sink) {
  struct Query {
    std::string monitor;
    pa_threaded_mainloop* loop;
  } query{{}, client.Loop()};
  client.Await(pa_context_get_sink_info_by_name(
      client.Context(), sink.c_str(),
      [](pa_context*, const pa_sink_info* info, int eol, void* data) {
        auto& q = *static_cast<Query*>(data);
        if (eol == 0 && info != nullptr) q.monitor = Text(info->monitor_source_name);
        pa_threaded_mainloop_signal(q.loop, 0);
      },
      &query));
  return query.monitor;
}

// The monitor of the default output, or why there is none to listen to; under the loop's lock.
std::string DefaultOutputMonitor(const PulseClient& client, std::string& sink, std::string& why) {
  sink = QueryServer(client).defaultSink;
  if (sink.empty()) {
    why = "the sound server has no default output";
    return {};
  }
  std::string monitor = MonitorOf(client, sink);
  if (monitor.empty()) why = "the default output " + sink + " has no monitor source";
  return monitor;
}

// A record stream from one source of the server. Following the default output, it listens for the
// server's changes and moves itself to the new default output's monitor as soon as one is made.
class PulseInput final : public AudioInput {
 public:
  // source: the source to record; follow: keep to the monitor of the default output, now sink.
  static std::unique_ptr<AudioInput> Open(std::unique_ptr<PulseClient> client, std::uint32_t sampleRate,
                                          const std::string& source, const std::string& sink,
                                          std::string& why) {
    std::unique_ptr<PulseInput> input(new PulseInput(std::move(client), sampleRate, sink));
    if (!input->Connect(source, why)) return nullptr;
    return input;
  }

  ~PulseInput() override {
    LoopLock lock(FClient->Loop());
    pa_context_set_subscribe_callback(FClient->Context(), nullptr, nullptr);
    pa_context_set_state_callback(FClient->Context(), nullptr, nullptr);
    if (FStream != nullptr) {
      pa_stream_set_state_callback(FStream, nullptr, nullptr);
      pa_stream_set_read_callback(FStream, nullptr, nullptr);
      pa_stream_set_moved_callback(FStream, nullptr, nullptr);
      pa_stream_disconnect(FStream);
      pa_stream_unref(FStream);
    }
    // Cancels the questions still on their way, whose answers would reach this object after its
    // members are gone but before the client's own disconnection.
    pa_context_disconnect(FClient->Context());
  }

  std::size_t Read(float* out, std::size_t maxFrames) override {
    std::lock_guard guard(FMutex);
    const std::size_t frames = std::min(maxFrames, FHeld.size() / kChannels);
    std::copy_n(FHeld.begin(), frames * kChannels, out);
    FHeld.erase(FHeld.begin(), FHeld.begin() + static_cast<std::ptrdiff_t>(frames * kChannels));
    return frames;
  }

  std::size_t Held() const override {
    std::lock_guard guard(FMutex);
    return FHeld.size() / kChannels;
  }

  void SetPaused(bool paused) override {
    LoopLock lock(FClient->Loop());
    if (pa_operation* cork = pa_stream_cork(FStream, paused ? 1 : 0, nullptr, nullptr)) pa_operation_unref(cork);
    std::lock_guard guard(FMutex);
    FPaused = paused;
    FHeld.clear();
  }

  std::string Name() const override {
    std::lock_guard guard(FMutex);
    std::string name = FServer + ": " + FSource;
    if (!FSink.empty()) name += ", the monitor of the default output " + FSink;
    return name;
  }

  std::string TakeNotice() override {
    std::lock_guard guard(FMutex);
    if (FNotices.empty()) return {};
    std::string notice = std::move(FNotices.front());
    FNotices.pop_front();
    return notice;
  }

 private:
  PulseInput(std::unique_ptr<PulseClient> client, std::uint32_t sampleRate, const std::string& sink)
      : FClient(std::move(client)), FRate(sampleRate), FFollow(!sink.empty()), FSink(sink), FAnnounced(sink) {}

  bool Connect(const std::string& source, std::string& why) {
    LoopLock lock(FClient->Loop());
    pa_context* context = FClient->Context();
    FServer = QueryServer(*FClient).server;
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32NE, FRate, static_cast<std::uint8_t>(kChannels)};
    FStream = pa_stream_new(context, "Visualisation", &spec, nullptr);
    if (FStream == nullptr) {
      why = "the sound server refuses a recording stream (" + FClient->Error() + ")";
      return false;
    }
    pa_stream_set_state_callback(FStream, &PulseInput::OnStreamState, this);
    pa_stream_set_read_callback(FStream, &PulseInput::OnRead, this);
    pa_stream_set_moved_callback(FStream, &PulseInput::OnMoved, this);
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.tlength = attributes.prebuf = attributes.minreq = static_cast<std::uint32_t>(-1);
    attributes.fragsize = static_cast<std::uint32_t>(pa_usec_to_bytes(kFragmentMicroseconds, &spec));
    if (pa_stream_connect_record(FStream, source.c_str(), &attributes, PA_STREAM_ADJUST_LATENCY) < 0) {
      why = "the sound server cannot record from " + source + " (" + FClient->Error() + ")";
      return false;
    }
    for (;;) {
      const pa_stream_state_t state = pa_stream_get_state(FStream);
      if (state == PA_STREAM_READY) break;
      if (!PA_STREAM_IS_GOOD(state)) {
        why = "the sound server cannot record from " + source + " (" + FClient->Error() + ")";
        return false;
      }
      pa_threaded_mainloop_wait(FClient->Loop());
    }
    {
      std::lock_guard guard(FMutex);
      FSource = Text(pa_stream_get_device_name(FStream));
      FOpen = true;
    }
    pa_context_set_state_callback(context, &PulseInput::OnContextState, this);
    if (!FFollow) return true;
    // Subscribed only now, so the first change seen already has a stream to move; the question
    // after it catches a change made while the stream was being set up.
    pa_context_set_subscribe_callback(context, &PulseInput::OnServerEvent, this);
    if (pa_operation* subscribe = pa_context_subscribe(context, PA_SUBSCRIPTION_MASK_SERVER, nullptr, nullptr))
      pa_operation_unref(subscribe);
    AskForDefaultOutput();
    return true;
  }

  void Notice(std::string text) {
    std::lock_guard guard(FMutex);
    FNotices.push_back(std::move(text));
  }

  void AskForDefaultOutput() {
    if (pa_operation* query = pa_context_get_server_info(FClient->Context(), &PulseInput::OnServerInfo, this))
      pa_operation_unref(query);
  }

  // Says once per output followed how following it went.
  void Announce(const std::string& sink, std::string text) {
    std::lock_guard guard(FMutex);
    if (sink == FAnnounced) return;
    FAnnounced = sink;
    FNotices.push_back(std::move(text));
  }

  static void OnRead(pa_stream* stream, std::size_t, void* data) {
    auto& self = *static_cast<PulseInput*>(data);
    const void* bytes = nullptr;
    std::size_t size = 0;
    while (pa_stream_readable_size(stream) > 0) {
      if (pa_stream_peek(stream, &bytes, &size) < 0 || size == 0) break;
      // No data with a size is a hole in the recording: nothing to keep, but it must be dropped.
      if (bytes != nullptr) self.Keep(static_cast<const float*>(bytes), size / sizeof(float));
      pa_stream_drop(stream);
    }
  }

  void Keep(const float* samples, std::size_t count) {
    std::lock_guard guard(FMutex);
    if (FPaused) return;
    FHeld.insert(FHeld.end(), samples, samples + count);
    const std::size_t cap = kHeldSeconds * FRate * kChannels;
    if (FHeld.size() > cap) {
      const std::size_t excess = (FHeld.size() - cap) / kChannels * kChannels;
      FHeld.erase(FHeld.begin(), FHeld.begin() + static_cast<std::ptrdiff_t>(excess));
    }
  }

  static void OnStreamState(pa_stream* stream, void* data) {
    auto& self = *static_cast<PulseInput*>(data);
    pa_threaded_mainloop_signal(self.FClient->Loop(), 0);
    if (!self.FOpen || PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) return;
    self.Notice("the sound server ended the recording (" + self.FClient->Error() + "): the fans get silence");
  }

  static void OnContextState(pa_context* context, void* data) {
    auto& self = *static_cast<PulseInput*>(data);
    pa_threaded_mainloop_signal(self.FClient->Loop(), 0);
    if (PA_CONTEXT_IS_GOOD(pa_context_get_state(context))) return;
    self.Notice("the sound server went away (" + self.FClient->Error() + "): the fans get silence");
  }

  // The server moves a stream whose source went away, and on PulseAudio one that was never moved
  // by its client when the default source changes. Following, the stream is checked against the
  // default output's monitor again, and moved back where it strayed.
  static void OnMoved(pa_stream* stream, void* data) {
    auto& self = *static_cast<PulseInput*>(data);
    const std::string source = Text(pa_stream_get_device_name(stream));
    {
      std::lock_guard guard(self.FMutex);
      if (source == self.FSource) return;
      self.FSource = source;
    }
    if (self.FFollow) {
      self.AskForDefaultOutput();
    } else {
      self.Notice("the sound server moved the recording to " + source);
    }
  }

  static void OnServerEvent(pa_context*, pa_subscription_event_type_t type, std::uint32_t, void* data) {
    if ((type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) == PA_SUBSCRIPTION_EVENT_SERVER)
      static_cast<PulseInput*>(data)->AskForDefaultOutput();
  }

  static void OnServerInfo(pa_context* context, const pa_server_info* info, void* data) {
    auto& self = *static_cast<PulseInput*>(data);
    if (info == nullptr) return;
    const std::string sink = Text(info->default_sink_name);
    if (sink.empty()) {
      self.Announce(sink, "cannot follow the output: the sound server has no default output now");
      return;
    }
    {
      std::lock_guard guard(self.FMutex);
      self.FSink = sink;
    }
    if (pa_operation* query = pa_context_get_sink_info_by_name(context, sink.c_str(), &PulseInput::OnSinkInfo, data))
      pa_operation_unref(query);
  }

  static void OnSinkInfo(pa_context* context, const pa_sink_info* info, int eol, void* data) {
    auto& self = *static_cast<PulseInput*>(data);
    std::string sink, source;
    {
      std::lock_guard guard(self.FMutex);
      sink = self.FSink;
      source = self.FSource;
    }
    if (eol < 0) {
      self.Notice("cannot follow the output " + sink + " (" + self.FClient->Error() + ")");
      return;
    }
    // An answer about an output that is no longer the default: the newer question's answer follows.
    if (eol > 0 || info == nullptr || Text(info->name) != sink) return;
    const std::string monitor = Text(info->monitor_source_name);
    if (monitor.empty()) {
      self.Announce(sink, "cannot follow the output " + sink + ": it has no monitor source");
      return;
    }
    if (monitor == source) {
      self.Announce(sink, "following the output " + sink + ": listening to " + monitor);
      return;
    }
    {
      std::lock_guard guard(self.FMutex);
      self.FMoveTarget = monitor;
    }
    if (pa_operation* move = pa_context_move_source_output_by_name(
            context, pa_stream_get_index(self.FStream), monitor.c_str(), &PulseInput::OnMoveDone, data))
      pa_operation_unref(move);
  }

  static void OnMoveDone(pa_context*, int success, void* data) {
    auto& self = *static_cast<PulseInput*>(data);
    std::string sink, target;
    {
      std::lock_guard guard(self.FMutex);
      sink = self.FSink;
      target = self.FMoveTarget;
      if (success) self.FSource = target;
    }
    if (success) {
      self.Announce(sink, "following the output " + sink + ": listening to " + target);
    } else {
      self.Notice("cannot follow the output " + sink + " (" + self.FClient->Error() + ")");
    }
  }

  std::unique_ptr<PulseClient> FClient;
  std::uint32_t FRate;
  pa_stream* FStream = nullptr;
  std::string FServer;  // set before the stream starts, constant after
  const bool FFollow;   // following the default output, not a source chosen by name

  mutable std::mutex FMutex;  // guards what follows
  std::string FSink;          // the default output followed; empty for a source chosen by name
  std::string FAnnounced;     // the output whose following was last told
  std::string FMoveTarget;    // the monitor the stream is being moved to
  std::string FSource;
  std::vector<float> FHeld;
  std::deque<std::string> FNotices;
  bool FPaused = false;
  bool FOpen = false;  // ready once: from then on an end is news
};

}  // namespace

SoundSources ListSoundSources() {
  SoundSources list;
  PulseClient client;
  if (!client.Connect(list.why)) {
    for (std::string& name : portable::SdlRecordingDevices()) {
      const bool monitor = name.rfind("Monitor of", 0) == 0;
      list.sources.push_back({name, name, monitor});
    }
    return list;
  }
  LoopLock lock(client.Loop());
  list.server = QueryServer(client).server;
  struct Query {
    std::vector<SoundSource>* sources;
    pa_threaded_mainloop* loop;
  } query{&list.sources, client.Loop()};
  client.Await(pa_context_get_source_info_list(
      client.Context(),
      [](pa_context*, const pa_source_info* info, int eol, void* data) {
        auto& q = *static_cast<Query*>(data);
        if (eol == 0 && info != nullptr)
          q.sources->push_back({Text(info->name), Text(info->description), info->monitor_of_sink != PA_INVALID_INDEX});
        pa_threaded_mainloop_signal(q.loop, 0);
      },
      &query));
  std::string sink, why;
  list.outputMonitor = DefaultOutputMonitor(client, sink, why);
  return list;
}

std::unique_ptr<AudioInput> AudioInput::OpenOutputMonitor(std::uint32_t sampleRate, std::string& why) {
  auto client = std::make_unique<PulseClient>();
  if (!client->Connect(why)) return nullptr;
  std::string sink, monitor;
  {
    LoopLock lock(client->Loop());
    monitor = DefaultOutputMonitor(*client, sink, why);
  }
  if (monitor.empty()) return nullptr;
  return PulseInput::Open(std::move(client), sampleRate, monitor, sink, why);
}

std::unique_ptr<AudioInput> AudioInput::OpenNamed(std::uint32_t sampleRate, const std::string& name,
                                                  std::string& why) {
  auto client = std::make_unique<PulseClient>();
  std::string noServer;
  if (!client->Connect(noServer)) {
    auto input = portable::OpenSdlInput(sampleRate, name.c_str(), why);
    if (!input) why = noServer + ", and no recording device " + name + ": " + why;
    return input;
  }
  return PulseInput::Open(std::move(client), sampleRate, name, {}, why);
}

}  // namespace platform
