// The render benchmark: the page of a form of sixty controls rendered as the server renders a
// reply, alone, with a dynamic image written to the session's cache at every render, and after
// a post that applies every control's value and runs the save button; in a real session of the
// forms layer, without HTTP. Items processed are pages, bytes processed the pages' bytes.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "BenchForm.h"
#include "controls/ControlsUnit.h"
#include "controls/IWTabControl.h"
#include "forms/FormsSession.h"
#include "runtime/Streams.h"
#include "runtime/Strings.h"

namespace qx::bench {
namespace {

constexpr char kUserAgent[] =
    "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/120.0 Safari/537.36";

// A session of a current browser whose active form is the benchmark's form.
class TBenchSession : public test::FormsSession {
 public:
  TBenchSession() {
    InitializeControlsUnit();
    NewForm(DetectBrowser(kUserAgent), kUserAgent);
    pictures_ = &BuildBenchForm(Form());
  }
  TIWTabPage& Pictures() { return *pictures_; }

  // The active form's page, rendered into a stream as the dispatcher renders a reply.
  std::string Page() {
    TMemoryStream out;
    App().Render(out);
    return out.TakeBytes();
  }

  // The sizes of the files in the session's cache folder, which are then removed.
  std::uintmax_t TakeCacheFiles() {
    std::uintmax_t bytes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(App().UserCacheDir())) {
      bytes += entry.file_size();
      std::filesystem::remove(entry.path());
    }
    return bytes;
  }

 private:
  TIWTabPage* pictures_ = nullptr;
};

// Fails the benchmark unless `page` holds every control of the form.
bool CheckPage(benchmark::State& state, TBenchSession& session, const std::string& page) {
  const std::string missing = MissingControls(session.Form(), page);
  if (missing.empty()) return true;
  state.SkipWithError(("the page lacks " + missing).c_str());
  return false;
}

void Count(benchmark::State& state, std::size_t pageBytes, std::int64_t totalBytes) {
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(totalBytes);
  state.counters["page_bytes"] = static_cast<double>(pageBytes);
}

void Render(benchmark::State& state) {
  TBenchSession session;
  std::string page = session.Page();
  if (!CheckPage(state, session, page)) return;
  std::int64_t bytes = 0;
  for (auto _ : state) {
    page = session.Page();
    bytes += static_cast<std::int64_t>(page.size());
  }
  Count(state, page.size(), bytes);
}

// The same page with a 320 × 240 picture held as `source` written as `output` at every render;
// the written files are removed outside the timing.
void RenderWithChart(benchmark::State& state, TGraphicFormat source, TIWImageOutput output) {
  TBenchSession session;
  AddChart(session.Form(), session.Pictures(), ChartPicture(source), output);
  std::string page = session.Page();
  if (!CheckPage(state, session, page)) return;
  const std::uintmax_t imageBytes = session.TakeCacheFiles();
  if (imageBytes == 0) {
    state.SkipWithError("the render wrote no picture");
    return;
  }
  std::int64_t bytes = 0;
  for (auto _ : state) {
    page = session.Page();
    bytes += static_cast<std::int64_t>(page.size());
    state.PauseTiming();
    session.TakeCacheFiles();
    state.ResumeTiming();
  }
  Count(state, page.size(), bytes);
  state.counters["image_bytes"] = static_cast<double>(imageBytes);
}

// A post of every control's value with the save button as its action, then the next page; the
// save button shows the posted echo text, which the last page must show.
void PostAndRender(benchmark::State& state) {
  TBenchSession session;
  TStringList fields = SaveFields(session.Form(), session.App(), "");
  const int echo = fields.IndexOfName(ElementNameOf(*session.Form().FindComponent("edtEcho")));
  std::string page = session.Page();
  if (!CheckPage(state, session, page) || echo < 0) return;
  std::int64_t bytes = 0;
  std::string text;
  for (auto _ : state) {
    text = "posted " + IntToStr(state.iterations());
    fields[echo] = fields.Names(echo) + "=" + text;
    session.App().Execute(fields);
    page = session.Page();
    bytes += static_cast<std::int64_t>(page.size());
  }
  if (page.find(">" + text + "</span>") == std::string::npos) {
    state.SkipWithError(("the last page does not show \"" + text + "\"").c_str());
    return;
  }
  Count(state, page.size(), bytes);
}

BENCHMARK(Render)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RenderWithChart, jpeg_as_jpeg, gfJPEG, ioJPEG)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RenderWithChart, gif_as_jpeg, gfGIF, ioJPEG)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RenderWithChart, jpeg_as_gif, gfJPEG, ioGIF)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RenderWithChart, gif_as_gif, gfGIF, ioGIF)->Unit(benchmark::kMicrosecond);
BENCHMARK(PostAndRender)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qx::bench

BENCHMARK_MAIN();
