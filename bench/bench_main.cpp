// lunetta-bench: times one composition (decode, stretch, block, blend, BMP write) and one save as
// JPEG for generated photos at each picture size, the peak memory of a composition from a large
// photo, libjpeg-turbo's own reduced-scale decode of that photo for comparison, the same for a 4K
// wallpaper filled from that photo, lunetta-compose as a whole process against djpeg (hyperfine,
// idle and with a busy loop per core) with where its time goes, a year of twelve photos as one
// process against twelve, an A3 wall calendar for print from twelve photos (in this process and
// as lunetta-compose) against the wallpapers' year PDF of the same, the main window's repaints
// while the mouse wheel runs through months that have photos of their own, a phone's HEIC through
// the whole process against heif-convert, and the wallpaper renewal's whole run against a plain
// composition of its picture.
// `--whole-process`, `--legibility`, `--heic`, `--renewal` and `--wall` measure one part alone.
#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPointingDevice>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <QWheelEvent>
#include <QWindow>
#include <QtEndian>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "calendar/calendar_settings.h"
#include "calendar/japanese_holidays.h"
#include "legibility_bench.h"
#include "picture/heif_files.h"
#include "picture/libjpeg_files.h"
#include "picture/load_picture_file.h"
#include "picture/picture.h"
#include "picture/picture_files.h"
#include "picture/picture_painter.h"
#include "render/composition.h"
#include "render/font_substitutes.h"
#include "renewal_bench.h"
#include "session/calendar_session.h"
#include "session/year_export.h"
#include "ui/dialog_units.h"
#include "ui/main_dialog.h"
#include "wall/wall_pdf.h"

namespace lunetta {
namespace {

constexpr double kRatioTarget = 1.6;
constexpr double kSmallPhotoTargetMs = 60.0;
constexpr double kPeakTargetMb = 80.0;
constexpr double kMonthSwitchTarget = 0.25;
constexpr double kWholeProcessIdleTarget = 1.10;
constexpr double kWholeProcessLoadedTarget = 1.30;
constexpr double kYearTarget = 0.6;
constexpr double kFourKRatioTarget = 1.2;
constexpr double kFourKPeakTargetMb = 150.0;
// The wall calendar puts four times the wallpapers' pixels into its PDF (A3 at 300 dpi against
// 1920 x 1080); a run that makes its photos one at a time takes about four times as long.
constexpr double kWallTarget = 3.0;
constexpr double kWallPeakTargetMb = 200.0;
constexpr double kWheelRepaintTargetMs = 100.0;
constexpr double kHeicTarget = 0.8;

// What a composition makes: a classic size, or a custom size with a fit.
struct Target {
  int pictSize = 2;
  PictureSize custom{};  // empty: the classic size
  PhotoFit fit = PhotoFit::Stretch;
};

constexpr Target kClassicLarge{};
constexpr Target kFourKFill{2, {3840, 2160}, PhotoFit::Fill};

struct Photo {
  const char* label;
  int width;
  int height;
  int runs;
  QString path;
};

// A photo-like picture: a diagonal gradient, overlapping shapes and per-pixel noise, so the JPEG
// carries real detail in every block.
QImage DetailedPhoto(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  {
    QPainter painter(&image);
    QLinearGradient sky(0, 0, width, height);
    sky.setColorAt(0, QColor(30, 90, 200));
    sky.setColorAt(0.5, QColor(240, 200, 120));
    sky.setColorAt(1, QColor(20, 120, 40));
    painter.fillRect(image.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    std::uint32_t seed = 12345;
    const auto next = [&seed](std::uint32_t range) {
      seed = seed * 1664525u + 1013904223u;
      return (seed >> 8) % range;
    };
    for (int i = 0; i < 400; ++i) {
      painter.setBrush(QColor::fromRgb(next(256), next(256), next(256), 160));
      painter.setPen(QPen(QColor::fromRgb(next(256), next(256), next(256)), 1 + next(6)));
      const int w = 20 + static_cast<int>(next(static_cast<std::uint32_t>(width / 6)));
      const int h = 20 + static_cast<int>(next(static_cast<std::uint32_t>(height / 6)));
      const QRect shape(static_cast<int>(next(static_cast<std::uint32_t>(width))),
                        static_cast<int>(next(static_cast<std::uint32_t>(height))), w, h);
      if (i % 2 == 0) {
        painter.drawEllipse(shape);
      } else {
        painter.drawRect(shape);
      }
    }
  }
  std::uint32_t state = 0x9E3779B9u;
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      state ^= state << 13;
      state ^= state >> 17;
      state ^= state << 5;
      const int noise = static_cast<int>(state & 31u) - 16;
      const QRgb c = line[x];
      line[x] = qRgb(std::clamp(qRed(c) + noise, 0, 255), std::clamp(qGreen(c) + noise, 0, 255),
                     std::clamp(qBlue(c) + noise, 0, 255));
    }
  }
  return image;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double MedianMs(int runs, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer timer;
    timer.start();
    work();
    times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }
  return Median(times);
}

// A session of May 2026 that writes its composed picture to `out`, at `target`.
std::unique_ptr<CalendarSession> BenchSession(const Target& target, const QString& out) {
  SessionEnvironment environment;
  environment.clock = [] { return LocalDate{2026, 5, 1}; };
  environment.composedPicturePath = FilePath(out);
  auto session = std::make_unique<CalendarSession>(std::move(environment));
  CalendarSettings settings = session->settings();
  settings.pictSize = target.pictSize;
  if (target.custom.width > 0) {
    settings.sizeKind = SizeKind::Custom;
    settings.customWidth = target.custom.width;
    settings.customHeight = target.custom.height;
  }
  settings.photoFit = target.fit;
  session->ApplySettings(settings);
  return session;
}

// The preview as the main window paints it after each composition.
void PaintPreview(const CalendarSession& session) {
  QImage preview(643, 482, QImage::Format_RGB32);
  QPainter painter(&preview);
  PicturePainter().PaintStretched(session.picture(), painter, preview.width(), preview.height());
}

// One composition as the desktop program does it after choosing a photo: decode at the picture's
// size, compose, write "Calendar.bmp".
bool ComposeOnce(const QString& photoPath, const Target& target, const QString& out) {
  const std::unique_ptr<CalendarSession> session = BenchSession(target, out);
  session->ChoosePhoto(FilePath(photoPath));
  return session->Compose().ok() && !session->photoFailure();
}

long StatusKb(const char* field) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly | QIODevice::Text)) {
    return -1;
  }
  const QByteArray prefix = QByteArray(field) + ':';
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith(prefix)) {
      return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
    }
  }
  return -1;
}

// Peak resident memory of one composition above the resident memory just before it. Runs in a
// process of its own (this program, started with --peak) so that nothing the benchmark did before
// counts; it first composes from a small photo so that fonts and plugins are loaded, as they are in
// a running program. Forking instead would copy Qt's thread pool without its threads.
int MeasurePeak(const QString& warmUpPhoto, const QString& photo, const QString& out,
                const Target& target) {
  ComposeOnce(warmUpPhoto, kClassicLarge, out);
  malloc_trim(0);
  QFile clear(QStringLiteral("/proc/self/clear_refs"));
  // "5" resets the high-water mark to the current resident size.
  if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1) {
    return 1;
  }
  clear.close();
  const long before = StatusKb("VmRSS");
  ComposeOnce(photo, target, out);  // a photo that is refused composes the picture without it
  const long peak = StatusKb("VmHWM");
  if (before < 0 || peak < 0) {
    return 1;
  }
  std::printf("%.1f\n", static_cast<double>(peak - before) / 1024.0);
  return 0;
}

// The peak this program reports when started with `arguments`, in a process of its own.
std::optional<double> ChildPeakMb(const QStringList& arguments) {
  QProcess child;
  child.start(QCoreApplication::applicationFilePath(), arguments);
  if (!child.waitForFinished(120000) || child.exitStatus() != QProcess::NormalExit ||
      child.exitCode() != 0) {
    return std::nullopt;
  }
  bool ok = false;
  const double mb = child.readAllStandardOutput().trimmed().toDouble(&ok);
  return ok ? std::optional<double>(mb) : std::nullopt;
}

std::optional<double> PeakMb(const QString& warmUpPhoto, const QString& photo, const QString& out,
                             bool fourK = false) {
  return ChildPeakMb({fourK ? "--peak-4k" : "--peak", warmUpPhoto, photo, out});
}

struct RatioTimes {
  double composeMs = 0;
  double djpegMs = 0;
};

std::optional<std::pair<double, double>> Pair(const std::optional<RatioTimes>& times) {
  if (!times) {
    return std::nullopt;
  }
  return std::pair{times->composeMs, times->djpegMs};
}

// The composition from `photo` at `target` and libjpeg-turbo's own decode of it at `scale`, taken
// in turns so that both see the same load on the machine.
std::optional<RatioTimes> CompareWithDjpeg(const QString& photo, const QString& out, int runs,
                                           const Target& target, const QString& scale) {
  std::vector<double> compose;
  std::vector<double> djpeg;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer timer;
    timer.start();
    if (!ComposeOnce(photo, target, out)) {
      return std::nullopt;
    }
    compose.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    timer.start();
    const int status = QProcess::execute(QStringLiteral("djpeg"),
                                         {"-scale", scale, "-outfile", "/dev/null", photo});
    if (status != 0) {
      return std::nullopt;
    }
    djpeg.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }
  return RatioTimes{Median(compose), Median(djpeg)};
}

// Median times of two kinds of work taken in turns, so that both see the same load.
std::optional<std::pair<double, double>> Interleaved(int runs, const std::function<bool()>& first,
                                                     const std::function<bool()>& second) {
  std::vector<double> a;
  std::vector<double> b;
  for (int i = 0; i < runs; ++i) {
    for (auto [work, times] : {std::pair{&first, &a}, std::pair{&second, &b}}) {
      QElapsedTimer timer;
      timer.start();
      if (!(*work)()) {
        return std::nullopt;
      }
      times->push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
  }
  return std::pair{Median(a), Median(b)};
}

// A month switch with the photo kept in the session, against a cold composition that decodes it
// again; both write "Calendar.bmp" and paint the preview.
std::optional<std::pair<double, double>> MonthSwitch(const QString& photo, const QString& bmp) {
  const std::unique_ptr<CalendarSession> session = BenchSession(kClassicLarge, bmp);
  session->ChoosePhoto(FilePath(photo));
  if (!session->Compose().ok()) {
    return std::nullopt;
  }
  int month = 5;
  return Interleaved(
      9,
      [&] {
        session->ChoosePhoto(FilePath(photo));
        const bool ok = session->Compose().ok() && !session->photoFailure();
        PaintPreview(*session);
        return ok;
      },
      [&] {
        session->ChooseMonth(month % 12 + 1);
        ++month;
        const bool ok = session->Compose().ok();
        PaintPreview(*session);
        return ok;
      });
}

// Runs a program in `folder` with an empty configuration there, so only what it is given is read.
bool RunIn(const QString& folder, const QString& program, const QStringList& arguments) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder);
  QProcess process;
  process.setProcessEnvironment(environment);
  process.setWorkingDirectory(folder);
  process.start(program, arguments);
  return process.waitForFinished(300000) && process.exitStatus() == QProcess::NormalExit &&
         process.exitCode() == 0;
}

QString ComposeProgram() {
  return QCoreApplication::applicationDirPath() + QStringLiteral("/lunetta-compose");
}

const char* Verdict(bool met) {
  return met ? "PASS" : "MISS";
}

// A word of a command for hyperfine -N, which splits its commands as a shell does. The bench's
// paths hold no quote.
QString Quoted(const QString& word) {
  return QLatin1Char('\'') + word + QLatin1Char('\'');
}

// The mean times (ms) of `commands`, each measured as fresh processes with
// `hyperfine -N --warmup 2 --runs 15`, one command's runs after the other's; run in `folder` with
// an empty configuration there, so only what the commands name is read.
std::optional<std::vector<double>> Hyperfine(const QString& folder, const QStringList& commands) {
  const QString json = QDir(folder).filePath(QStringLiteral("hyperfine.json"));
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder);
  QProcess hyperfine;
  hyperfine.setProcessEnvironment(environment);
  hyperfine.setWorkingDirectory(folder);
  hyperfine.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  hyperfine.start(
      QStringLiteral("hyperfine"),
      QStringList{"-N", "--warmup", "2", "--runs", "15", "--style", "none", "--export-json", json} +
          commands);
  if (!hyperfine.waitForFinished(600000) || hyperfine.exitStatus() != QProcess::NormalExit ||
      hyperfine.exitCode() != 0) {
    return std::nullopt;
  }
  QFile file(json);
  if (!file.open(QIODevice::ReadOnly)) {
    return std::nullopt;
  }
  const QJsonArray results = QJsonDocument::fromJson(file.readAll())["results"].toArray();
  if (results.size() != commands.size()) {
    return std::nullopt;
  }
  std::vector<double> means;
  for (const QJsonValue& result : results) {
    means.push_back(result["mean"].toDouble() * 1000);
  }
  return means;
}

// One busy loop per core, `sh -c 'while :; do :; done'`, for as long as this lives.
class BusyLoops {
 public:
  BusyLoops() {
    for (unsigned core = 0; core < std::max(1u, std::thread::hardware_concurrency()); ++core) {
      auto& loop = loops_.emplace_back(std::make_unique<QProcess>());
      loop->start(QStringLiteral("sh"), {"-c", "while :; do :; done"});
      loop->waitForStarted();
    }
    QThread::msleep(500);  // the scheduler sees them as the busy processes they are
  }
  ~BusyLoops() {
    for (auto& loop : loops_) {
      loop->kill();
      loop->waitForFinished();
    }
  }
  BusyLoops(const BusyLoops&) = delete;
  BusyLoops& operator=(const BusyLoops&) = delete;

 private:
  std::vector<std::unique_ptr<QProcess>> loops_;
};

// The moments lunetta-compose notes with LUNETTA_TRACE, and the stages between them, in the order
// they are printed.
struct Stage {
  const char* what;
  const char* from;  // "start": the moment the process was started
  const char* to;    // "end": the moment it was gone
};
constexpr Stage kStages[] = {
    {"start-up: exec, libraries, to main()", "start", "main"},
    {"Qt application object", "main", "app"},
    {"  decode, scaled as rows come (workers)", "decoding", "decoded"},
    {"  scaling left over, placing (worker)", "decoded", "scaled"},
    {"block: fonts, drawing", "app", "block"},
    {"waiting for the photo", "block", "background"},
    {"blend", "background", "blended"},
    {"encode and write the BMP", "blended", "done"},
    {"exit", "done", "end"},
};

// One run of `arguments` with LUNETTA_TRACE set: the moments it noted, in ms from its start.
std::optional<std::map<std::string, double>> TracedRun(const QString& folder,
                                                       const QStringList& arguments) {
  const QString trace = QDir(folder).filePath(QStringLiteral("trace.txt"));
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder);
  environment.insert(QStringLiteral("LUNETTA_TRACE"), QStringLiteral("1"));
  std::vector<std::string> words{ComposeProgram().toStdString()};
  for (const QString& argument : arguments) {
    words.push_back(argument.toStdString());
  }
  std::vector<char*> argv;
  for (std::string& word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);
  std::vector<std::string> variables;
  for (const QString& variable : environment.toStringList()) {
    variables.push_back(variable.toStdString());
  }
  std::vector<char*> envp;
  for (std::string& variable : variables) {
    envp.push_back(variable.data());
  }
  envp.push_back(nullptr);
  // posix_spawn, as hyperfine starts its commands: QProcess would add its own work to the start-up.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, trace.toLocal8Bit().constData(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addchdir_np(&actions, folder.toLocal8Bit().constData());
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    return std::nullopt;
  }
  const auto end = std::chrono::steady_clock::now();
  const auto ms = [&](std::chrono::steady_clock::duration at) {
    return std::chrono::duration<double, std::milli>(at - start.time_since_epoch()).count();
  };
  std::map<std::string, double> moments{{"start", 0.0}};
  QFile file(trace);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    return std::nullopt;
  }
  for (const QByteArray& line : file.readAll().split('\n')) {
    const QList<QByteArray> words = line.split(' ');
    if (words.size() == 3 && words[0] == "lunetta-trace") {
      moments[words[1].toStdString()] = ms(std::chrono::nanoseconds(words[2].toLongLong()));
    }
  }
  moments["end"] = ms(end.time_since_epoch());
  return moments;
}

using Moments = std::map<std::string, double>;

// The median moment of each stage of seven traced runs, after one more to warm up.
std::optional<Moments> MedianMoments(const QString& folder, const QStringList& arguments) {
  std::map<std::string, std::vector<double>> moments;
  for (int run = 0; run < 8; ++run) {
    const auto traced = TracedRun(folder, arguments);
    if (!traced) {
      return std::nullopt;
    }
    for (const auto& [moment, ms] : *traced) {
      if (run > 0) {
        moments[moment].push_back(ms);
      }
    }
  }
  Moments medians;
  for (const auto& [moment, ms] : moments) {
    medians[moment] = Median(ms);
  }
  return medians;
}

// Where the time of one composition goes, on the machine as it is and with a busy loop per core.
void PrintBreakdown(const QString& folder, const QStringList& arguments) {
  const std::optional<Moments> idle = MedianMoments(folder, arguments);
  std::optional<Moments> loaded;
  {
    const BusyLoops busy;
    loaded = MedianMoments(folder, arguments);
  }
  if (!idle || !loaded) {
    std::printf("  the traced runs failed\n");
    return;
  }
  std::printf("  %-40s %17s %17s\n", "stage (ms from the process's start)", "idle", "busy loops");
  for (const Stage& stage : kStages) {
    std::printf("  %-40s", stage.what);
    for (const Moments* moments : {&*idle, &std::as_const(*loaded)}) {
      const auto from = moments->find(stage.from);
      const auto to = moments->find(stage.to);
      if (from != moments->end() && to != moments->end()) {
        std::printf(" %5.0f-%-5.0f %5.1f", from->second, to->second, to->second - from->second);
      } else {
        std::printf(" %17s", "not noted");
      }
    }
    std::printf("\n");
  }
}

// The whole process as the issue measures it: lunetta-compose against djpeg's own 3/8 decode of
// the same photo to a BMP file, with hyperfine, on the machine as it is and with a busy loop on
// each core; then where the time of one run goes.
bool WholeProcess(const QString& photo, const QString& folder) {
  const QString compose = ComposeProgram();
  const QString run = Quoted(compose) + QStringLiteral(" --photo ") + Quoted(photo) +
                      QStringLiteral(" --set PictSize=2 --out ");
  const QString toBmp = run + Quoted(QDir(folder).filePath(QStringLiteral("x.bmp")));
  const QString toJpg = run + Quoted(QDir(folder).filePath(QStringLiteral("x.jpg")));
  const QString pinned = QStringLiteral("taskset -c 0 ") + toBmp;
  const QString djpeg = QStringLiteral("djpeg -scale 3/8 -bmp -outfile ") +
                        Quoted(QDir(folder).filePath(QStringLiteral("y.bmp"))) + QLatin1Char(' ') +
                        Quoted(photo);
  std::printf(
      "\nwhole process, 6000x4000 JPEG -> 1280x1024, hyperfine -N --warmup 2 --runs 15 "
      "(mean):\n");
  const std::optional<std::vector<double>> idle = Hyperfine(folder, {toBmp, toJpg, pinned, djpeg});
  std::optional<std::vector<double>> loaded;
  {
    const BusyLoops busy;
    loaded = Hyperfine(folder, {toBmp, djpeg});
  }
  if (!idle || !loaded) {
    std::printf(
        "hyperfine, taskset or djpeg did not run (install hyperfine and "
        "libjpeg-turbo-progs): not measured   MISS\n");
    return false;
  }
  const double idleRatio = (*idle)[0] / (*idle)[3];
  const double loadedRatio = (*loaded)[0] / (*loaded)[1];
  const bool idleMet = idleRatio <= kWholeProcessIdleTarget;
  const bool loadedMet = loadedRatio <= kWholeProcessLoadedTarget;
  std::printf("  %-58s %10s %14s\n", "command", "idle", "busy loops");
  std::printf("  %-58s %7.1f ms %11.1f ms\n",
              "lunetta-compose --photo P --set PictSize=2 --out x.bmp", (*idle)[0], (*loaded)[0]);
  std::printf("  %-58s %7.1f ms %14s\n", "  the same to x.jpg", (*idle)[1], "-");
  std::printf("  %-58s %7.1f ms %14s\n", "  the same pinned to one core (taskset -c 0)", (*idle)[2],
              "-");
  std::printf("  %-58s %7.1f ms %11.1f ms\n", "djpeg -scale 3/8 -bmp -outfile y.bmp P (the floor)",
              (*idle)[3], (*loaded)[1]);
  std::printf("  %-58s %10.2f %14.2f\n", "ratio", idleRatio, loadedRatio);
  std::printf("whole process idle: ratio %.2f   %s (<= %.2f)\n", idleRatio, Verdict(idleMet),
              kWholeProcessIdleTarget);
  std::printf("whole process with a busy loop per core: ratio %.2f   %s (<= %.2f)\n", loadedRatio,
              Verdict(loadedMet), kWholeProcessLoadedTarget);
  std::printf("\nwhere the time of one run goes (median of 7, LUNETTA_TRACE; from-to, takes):\n");
  PrintBreakdown(folder, {"--photo", photo, "--set", "PictSize=2", "--out",
                          QDir(folder).filePath(QStringLiteral("x.bmp"))});
  return idleMet && loadedMet;
}

// A phone's 12-megapixel photo: a HEIC grid of 8 x 6 tiles of 504 x 504 pixels coded by libheif's
// HEVC encoder. Coding is slow, so each row repeats the photo's middle row of tiles: the decoder
// has as much detail to decode.
QByteArray PhoneHeic() {
  const QImage photo = DetailedPhoto(4032, 3024);
  QList<QByteArray> row;
  for (int x = 0; x < 4032; x += 504) {
    row << testing::HeifBytes(photo.copy(x, 1512, 504, 504));
  }
  QList<QByteArray> tiles;
  for (int y = 0; y < 6; ++y) {
    tiles << row;
  }
  return testing::GridHeic(tiles, 8, photo.size());
}

// lunetta-compose filling a 1920 x 1080 picture from `heic`, against heif-convert decoding it to
// a PNG, each a fresh process.
std::optional<std::pair<double, double>> HeicWholeProcess(const QString& heic,
                                                          const QString& folder) {
  const QString out = folder + QStringLiteral("/heic.jpg");
  const QString png = folder + QStringLiteral("/heic.png");
  return Interleaved(
      5,
      [&] {
        QFile::remove(out);
        return RunIn(folder, ComposeProgram(),
                     {"--photo", heic, "--size", "1920x1080", "--fit", "fill", "--year", "2026",
                      "--month", "5", "--out", out});
      },
      [&] {
        QFile::remove(png);
        return RunIn(folder, QStringLiteral("heif-convert"), {"--quiet", heic, png});
      });
}

// Twelve distinct photos of `width` x `height` in a folder of their own, as the year's months.
std::optional<QStringList> YearPhotos(const QString& folder, int width, int height) {
  QDir().mkpath(folder);
  const QImage base = DetailedPhoto(width, height);
  QStringList photos;
  for (int month = 1; month <= 12; ++month) {
    QImage photo = base;
    QPainter painter(&photo);
    painter.fillRect(QRect(0, 0, width, height / 3),
                     QColor::fromHsv((month - 1) * 30, 200, 220, 120));
    painter.end();
    photos << QDir(folder).filePath(QStringLiteral("%1.jpg").arg(month, 2, 10, QLatin1Char('0')));
    QImageWriter writer(photos.back(), "jpeg");
    writer.setQuality(90);
    if (!writer.write(photo)) {
      return std::nullopt;
    }
  }
  return photos;
}

// The year as one lunetta-compose process, against twelve processes of one month each; both
// write 1920 x 1080 JPEG files.
std::optional<std::pair<double, double>> YearAtOnce(const QString& photosFolder,
                                                    const QStringList& photos,
                                                    const QString& folder) {
  const QStringList common{"--size", "1920x1080", "--year", "2026"};
  return Interleaved(
      3,
      [&] {
        return RunIn(folder, ComposeProgram(),
                     common + QStringList{"--photos", photosFolder, "--all-months", "--out",
                                          folder + QStringLiteral("/year-%m.jpg")});
      },
      [&] {
        for (int month = 1; month <= 12; ++month) {
          const QString out = folder + QStringLiteral("/single-%1.jpg").arg(month);
          if (!RunIn(folder, ComposeProgram(),
                     common + QStringList{"--photo", photos[month - 1], "--month",
                                          QString::number(month), "--out", out})) {
            return false;
          }
        }
        return true;
      });
}

struct WheelTimes {
  double longestRepaintMs = 0;  // from a notch to the window's next repaint
  double photoShownMs = -1;     // from the last notch to the repaint with its month's photo
  int decodes = 0;              // after the window's start
};

// A profile in `folder` that gives each month its photo from `photos`; false when it cannot be
// written.
bool WriteMonthPhotoProfile(const QString& folder, const QStringList& photos) {
  QByteArray profile = "[Configuration]\n";
  for (int month = 1; month <= 12; ++month) {
    profile += QStringLiteral("Month Photo %1=%2\n")
                   .arg(month, 2, 10, QLatin1Char('0'))
                   .arg(photos[month - 1])
                   .toUtf8();
  }
  QDir().mkpath(folder);
  QFile file(folder + QStringLiteral("/lunetta.INI"));
  return file.open(QIODevice::WriteOnly) && file.write(profile) == profile.size();
}

// The main window of the desktop program on a profile in `config`, from January 2026, its photo
// decodes counted in `decodes`; shown once its first picture is composed.
std::unique_ptr<MainDialog> ShowMainWindow(const QString& config, std::atomic<int>& decodes) {
  const bool wasSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
  const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", config.toUtf8());
  SessionEnvironment environment = MainDialog::DesktopEnvironment();
  wasSet ? qputenv("XDG_CONFIG_HOME", previous) : qunsetenv("XDG_CONFIG_HOME");
  environment.clock = [] { return LocalDate{2026, 1, 15}; };
  environment.loadPhoto = [&decodes](const std::filesystem::path& path, QSize size, PhotoFit fit) {
    ++decodes;
    return LoadPictureFile(path, size, fit);
  };
  auto dialog = std::make_unique<MainDialog>(std::move(environment), nullptr);
  dialog->show();
  QElapsedTimer shown;
  shown.start();
  while (!dialog->windowHandle()->isExposed() && shown.elapsed() < 5000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  QCoreApplication::processEvents();
  return dialog;
}

// 22 notches of the mouse wheel over the main window's month selector, `intervalMs` apart, each
// month with a photo of its own from `photos`: January down to December, up to March, down to May.
// The notches come from a thread of their own, as the window system queues them whether or not the
// window keeps up.
std::optional<WheelTimes> WheelThroughMonths(const QStringList& photos, const QString& folder,
                                             int intervalMs) {
  const QString config = folder + QStringLiteral("/wheel-config");
  if (!WriteMonthPhotoProfile(config, photos)) {
    return std::nullopt;
  }
  std::atomic<int> decodes = 0;
  const std::unique_ptr<MainDialog> dialog = ShowMainWindow(config, decodes);
  decodes = 0;

  std::vector<int> steps(11, -120);
  steps.insert(steps.end(), 9, 120);
  steps.insert(steps.end(), 2, -120);
  QWidget* selector = FindControl(dialog.get(), MainControl::Month);
  const QPointF centre = QRectF(selector->rect()).center();
  const QPointF global = selector->mapToGlobal(centre);
  // Made here: the first call creates the device, a child of the application.
  const QPointingDevice* mouse = QPointingDevice::primaryPointingDevice();
  QElapsedTimer clock;
  clock.start();
  // Nanoseconds since `clock` started, per notch: when it was made, when the selector got it.
  std::vector<qint64> posted(steps.size());
  std::vector<qint64> delivered;
  WheelTimes times;
  std::size_t unpainted = 0;  // the first notch delivered but not yet followed by a repaint
  bool done = false;
  // Watches the notches reach the selector and the window repaint.
  struct Watcher : QObject {
    std::function<bool(QObject*, QEvent*)> filter;
    bool eventFilter(QObject* watched, QEvent* event) override { return filter(watched, event); }
  } watcher;
  watcher.filter = [&](QObject* watched, QEvent* event) {
    if (watched == selector && event->type() == QEvent::Wheel) {
      delivered.push_back(clock.nsecsElapsed());
    } else if (watched == dialog.get() && event->type() == QEvent::Paint) {
      const qint64 now = clock.nsecsElapsed();
      for (; unpainted < delivered.size(); ++unpainted) {
        times.longestRepaintMs =
            std::max(times.longestRepaintMs, static_cast<double>(now - posted[unpainted]) / 1e6);
      }
      if (unpainted == steps.size() && !dialog->session().photoPending()) {
        times.photoShownMs = static_cast<double>(now - posted.back()) / 1e6;
        done = true;
      }
    }
    return false;
  };
  selector->installEventFilter(&watcher);
  dialog->installEventFilter(&watcher);
  // The posted times reach the window's thread with the events, through the event queue's lock.
  std::thread wheel([&] {
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < steps.size(); ++i) {
      std::this_thread::sleep_until(start + std::chrono::milliseconds(intervalMs) * i);
      posted[i] = clock.nsecsElapsed();
      QCoreApplication::postEvent(
          selector, new QWheelEvent(centre, global, {}, {0, steps[i]}, Qt::NoButton, Qt::NoModifier,
                                    Qt::NoScrollPhase, false, Qt::MouseEventNotSynthesized, mouse));
    }
  });
  while (!done && clock.elapsed() < 120000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
  }
  wheel.join();
  selector->removeEventFilter(&watcher);
  dialog->removeEventFilter(&watcher);
  if (!done || dialog->selectedMonth() != 5) {
    return std::nullopt;
  }
  times.decodes = decodes;
  return times;
}

// A real PNG of `width` × `height` pixels of one grey `format` (8 or 16 bits): a small file.
QByteArray GreyPng(int width, int height, QImage::Format format) {
  QImage image(width, height, format);
  image.fill(Qt::black);
  return testing::Encode(image, "png");
}

// The twelve months of 2026 with Japan's holidays as an A3 wall calendar with bleed and trim
// marks, a photo each, and as the wallpapers' year of 1920 x 1080 pictures.
std::pair<WallCalendar, YearPlan> TwelveMonths(const QStringList& photos) {
  WallCalendar wall;
  wall.options.paper = Paper::A3;
  wall.options.bleed = kStandardBleed;
  wall.options.trimMarks = true;
  YearPlan year;
  year.size = {1920, 1080};
  year.fit = PhotoFit::Fill;
  for (int month = 1; month <= 12; ++month) {
    WallMonth& page = wall.months.emplace_back();
    page.year = 2026;
    page.month = month;
    page.photo = FilePath(photos[month - 1]);
    MonthPlan& planned = year.months.emplace_back();
    planned.settings.year = 2026;
    planned.settings.month = month;
    planned.photo = page.photo;
    for (const JapaneseHoliday& holiday : JapaneseHolidaysInMonth(2026, month)) {
      const int day = static_cast<int>(static_cast<unsigned>(holiday.date.day()));
      page.marks.push_back({day, DayMarkKind::Holiday, {std::string(holiday.japaneseName)}});
      planned.days.push_back({day, SpecialDayKind::Holiday, {std::string(holiday.japaneseName)}});
    }
  }
  return {std::move(wall), std::move(year)};
}

// The wall calendar's PDF against the wallpapers' year PDF on A3, both in this process.
std::optional<std::pair<double, double>> WallCalendarTimes(const QStringList& photos,
                                                           const QString& folder) {
  const auto [wall, year] = TwelveMonths(photos);
  const QPageLayout a3(QPageSize(QPageSize::A3), QPageLayout::Portrait, QMarginsF());
  const auto target = FilePath(folder + QStringLiteral("/calendar.pdf"));
  return Interleaved(
      3, [&] { return WriteWallCalendarPdf(wall, target, {}, {}, YearWorkers()).status.ok(); },
      [&] { return WriteYearPdf(year, target, a3).status.ok(); });
}

// The same twelve months as whole lunetta-compose processes: the A3 wall calendar with bleed and
// trim marks against the wallpapers' year PDF on A3.
std::optional<std::pair<double, double>> WallCalendarProcess(const QString& photosFolder,
                                                             const QString& folder) {
  const QStringList common{"--photos", photosFolder, "--year", "2026", "--paper", "A3"};
  return Interleaved(
      3,
      [&] {
        return RunIn(folder, ComposeProgram(),
                     common + QStringList{"--layout", "wall", "--bleed", "3mm", "--trim-marks",
                                          "--pdf", folder + QStringLiteral("/wall.pdf")});
      },
      [&] {
        return RunIn(folder, ComposeProgram(),
                     common + QStringList{"--all-months", "--size", "1920x1080", "--fit", "fill",
                                          "--pdf", folder + QStringLiteral("/year.pdf")});
      });
}

// Peak resident memory of writing the wall calendar, as MeasurePeak measures a composition; a
// month without photo first loads the fonts.
int MeasureWallPeak(const QStringList& photos, const QString& out) {
  auto [wall, year] = TwelveMonths(photos);
  WallCalendar warmUp = wall;
  warmUp.months.resize(1);
  warmUp.months[0].photo.clear();
  if (!WriteWallCalendarPdf(warmUp, FilePath(out)).status.ok()) {
    return 1;
  }
  malloc_trim(0);
  QFile clear(QStringLiteral("/proc/self/clear_refs"));
  if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1) {
    return 1;
  }
  clear.close();
  const long before = StatusKb("VmRSS");
  if (!WriteWallCalendarPdf(wall, FilePath(out), {}, {}, YearWorkers()).status.ok()) {
    return 1;
  }
  const long peak = StatusKb("VmHWM");
  if (before < 0 || peak < 0) {
    return 1;
  }
  std::printf("%.1f\n", static_cast<double>(peak - before) / 1024.0);
  return 0;
}

// Small files of huge pictures and files cut short: what a composition makes of each, its peak
// memory, and the peak before the decoder counted libjpeg's allocations, refused cut files and
// converted Qt's pictures (measured with lunetta-compose's maximum resident size, less a run
// from a small photo).
void PrintBombs(const QString& folder, const QString& warmUpPhoto, const QString& out) {
  using namespace lunetta::testing;
  const QByteArray arithmetic = LibjpegBytes(6000, 4000, {.arithmetic = true});
  const std::tuple<const char*, QByteArray, int> bombs[] = {
      {"palette.png", PngBomb(11500, 11500, 3, 8), 794},
      {"grey.png", PngBomb(11500, 11500, 0, 8), 794},
      {"bits.png", PngBomb(11500, 11500, 0, 1), 568},
      {"screen.gif", GifBomb(11500, 11500), 543},
      {"progressive.jpg", Claiming(LibjpegBytes(640, 480, {.progressive = true}), 11500, 11500),
       827},
      {"scans.jpg", LibjpegBytes(9400, 9400, {.scanPerComponent = true}), 542},
      {"claims.jpg", Claiming(LibjpegBytes(64, 64, {.arithmetic = true}), 65500, 65500), 259},
      {"arithmetic-cut.jpg", arithmetic.left(arithmetic.size() / 10), 10},
      {"progressive-cut.jpg", CutBeforeLastScan(LibjpegBytes(6000, 4000, {.progressive = true})),
       81},
      {"grey16.png", GreyPng(9000, 9000, QImage::Format_Grayscale16), 941},
      {"grey8.png", GreyPng(10000, 10000, QImage::Format_Grayscale8), 578}};
  std::printf("\npicture bombs and cut files, one composition each:\n");
  for (const auto& [name, bytes, before] : bombs) {
    const QString path = QDir(folder).filePath(QLatin1String(name));
    WriteBytes(path, bytes);
    const Result<DecodedPicture> decoded = LoadPictureFile(FilePath(path), {1280, 1024});
    const std::optional<double> peak = PeakMb(warmUpPhoto, path, out);
    std::printf("  %-20s %7.1f KB: %s, peak %s MB above the program's own (%d MB before)\n", name,
                bytes.size() / 1024.0, decoded ? "decoded" : "refused",
                peak ? qPrintable(QString::number(*peak, 'f', 1)) : "?", before);
  }
}

// Relative luminance of an sRGB colour, as the legibility guidelines define it.
double Luminance(QRgb rgb) {
  const auto channel = [](int value) {
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
}

// The median contrast between the default block's black text and the card right under it, over
// `photo`, with the text blended with the card (the default) or drawn opaque on it.
double TextContrast(const QImage& photo, bool opaqueText) {
  CalendarSettings settings;
  settings.year = 2026;
  settings.month = 5;
  settings.opaqueText = 1;  // the block in two layers: the card, and the text alone
  const QImage background = PictureBackground(photo, PictureDimensions(settings.pictSize));
  const CalendarBlock layers = DrawCalendarBlock(settings, {}).value();
  const QImage card =
      BlendCalendarBlock(background,
                         {layers.surface, layers.width, layers.height, QImage(), layers.geometry},
                         settings)
          .picture;
  settings.opaqueText = opaqueText ? 1 : 0;
  const ComposedPicture composedBlock = ComposeOver(background, settings, {}).value();
  const QImage& composed = composedBlock.picture;
  std::vector<double> ratios;
  for (int y = 0; y < layers.height; ++y) {
    for (int x = 0; x < layers.width; ++x) {
      // Fully inked pixels of the black text only; the red and blue columns have other colours.
      if (layers.text.pixel(x, y) != qRgba(0, 0, 0, 255)) {
        continue;
      }
      const QPoint at(composedBlock.blockX + x, composedBlock.blockY + y);
      const double text = Luminance(composed.pixel(at));
      const double under = Luminance(card.pixel(at));
      ratios.push_back((std::max(text, under) + 0.05) / (std::min(text, under) + 0.05));
    }
  }
  return ratios.empty() ? 0 : Median(ratios);
}

void PrintContrast(const QImage& busy) {
  QImage white(1024, 768, QImage::Format_RGB32);
  white.fill(Qt::white);
  std::printf("\ncontrast of the default block's text (median, 4.5:1 is the guideline):\n");
  for (const auto& [name, photo] :
       {std::pair{"white photo", white}, std::pair{"busy photo", busy}}) {
    std::printf("  %-12s text blended %.2f:1, opaque text %.2f:1\n", name,
                TextContrast(photo, false), TextContrast(photo, true));
  }
}

// A measured figure against its target: a ratio of two times taken in the same run, or a peak in
// megabytes. Prints one line and says whether the target was met; a figure that could not be
// measured misses it.
struct Figure {
  const char* what;
  std::optional<std::pair<double, double>> times;  // measured, reference (ms)
  const char* measured = "";
  const char* reference = "";
  double target = 0;
};

bool Report(const Figure& figure) {
  if (!figure.times) {
    std::printf("%s could not be measured   MISS\n", figure.what);
    return false;
  }
  const auto [measured, reference] = *figure.times;
  const double ratio = measured / reference;
  const bool met = ratio <= figure.target;
  std::printf("%s: %s %.1f ms, %s %.1f ms, ratio %.2f   %s (<= %.2f)\n", figure.what,
              figure.measured, measured, figure.reference, reference, ratio, Verdict(met),
              figure.target);
  return met;
}

bool ReportPeak(const char* what, std::optional<double> peak, double targetMb) {
  if (!peak) {
    std::printf("%s could not be measured   MISS\n", what);
    return false;
  }
  const bool met = *peak < targetMb;
  std::printf("%s: %.1f MB   %s (< %.0f MB)\n", what, *peak, Verdict(met), targetMb);
  return met;
}

// The wall calendar's figures alone, from twelve 6000 x 4000 photos made in `folder`.
bool WallFigures(const QString& folder) {
  const QString photosFolder = folder + QStringLiteral("/year-photos");
  std::printf("\nGenerating twelve 6000x4000 photos for the year...\n");
  const std::optional<QStringList> photos = YearPhotos(photosFolder, 6000, 4000);
  return Report({"A3 wall calendar of 12 photos with bleed, whole process",
                 photos ? WallCalendarProcess(photosFolder, folder) : std::nullopt,
                 "lunetta-compose --layout wall", "lunetta-compose --pdf of the wallpapers",
                 kWallTarget});
}

// The phone's photo through the whole process against heif-convert, and the peak memory of its
// composition (after one from `warmUpPhoto`, a small JPEG; made here when not given).
bool HeicFigures(const QString& folder, QString warmUpPhoto = {}) {
  if (warmUpPhoto.isEmpty()) {
    warmUpPhoto = folder + QStringLiteral("/warm-up.jpg");
    testing::WriteBytes(warmUpPhoto, testing::Encode(DetailedPhoto(640, 480), "jpeg", 90));
  }
  std::printf("\nGenerating a 12-megapixel HEIC as phones store them...\n");
  const QString heic = folder + QStringLiteral("/phone.heic");
  const bool written = testing::WriteBytes(heic, PhoneHeic());
  const bool met = Report({"whole process from a 4032x3024 HEIC to 1920x1080 fill",
                           written ? HeicWholeProcess(heic, folder) : std::nullopt,
                           "lunetta-compose", "heif-convert to PNG", kHeicTarget});
  if (const std::optional<double> peak =
          PeakMb(warmUpPhoto, heic, folder + QStringLiteral("/Calendar.bmp"))) {
    std::printf("peak memory of one 1280x1024 composition from that HEIC: %.1f MB\n", *peak);
  }
  return met;
}

// Everything, or with `wholeProcessOnly` the whole-process table and its breakdown alone.
int Run(bool wholeProcessOnly) {
  QTemporaryDir dir;
  if (!dir.isValid()) {
    std::fprintf(stderr, "lunetta-bench: no temporary folder\n");
    return 1;
  }
  std::vector<Photo> photos = {{"6000x4000", 6000, 4000, 7, {}},
                               {"4032x3024", 4032, 3024, 7, {}},
                               {"640x480", 640, 480, 15, {}}};
  if (wholeProcessOnly) {
    photos.resize(1);
  }
  std::printf("Generating photos...\n");
  for (Photo& photo : photos) {
    photo.path = dir.filePath(QStringLiteral("photo-%1.jpg").arg(QLatin1String(photo.label)));
    QImageWriter writer(photo.path, "jpeg");
    writer.setQuality(90);
    if (!writer.write(DetailedPhoto(photo.width, photo.height))) {
      std::fprintf(stderr, "lunetta-bench: cannot write %s\n", qPrintable(photo.path));
      return 1;
    }
    std::printf("  %-10s %6.1f MB JPEG\n", photo.label,
                static_cast<double>(QFileInfo(photo.path).size()) / (1 << 20));
  }

  const QString processFolder = dir.filePath(QStringLiteral("process"));
  QDir().mkpath(processFolder);
  if (wholeProcessOnly) {
    return WholeProcess(photos.front().path, processFolder) ? 0 : 1;
  }

  const QString bmp = dir.filePath(QStringLiteral("Calendar.bmp"));
  const QString jpg = dir.filePath(QStringLiteral("DeskTopImg.jpg"));
  ComposeOnce(photos.back().path, Target{1}, bmp);  // loads fonts and plugins

  bool allMet = true;
  std::printf("\n%-10s %-10s %14s %14s\n", "photo", "picture", "compose (ms)", "save jpg (ms)");
  for (const Photo& photo : photos) {
    for (int pictSize = 0; pictSize <= 2; ++pictSize) {
      const PictureSize size = PictureDimensions(pictSize);
      bool ok = true;
      const double compose =
          MedianMs(photo.runs, [&] { ok = ComposeOnce(photo.path, Target{pictSize}, bmp) && ok; });
      const double save = MedianMs(photo.runs, [&] {
        Picture picture;
        ok = picture.Load(FilePath(bmp)).ok() && picture.Save(FilePath(jpg)).ok() && ok;
      });
      if (!ok) {
        std::fprintf(stderr, "lunetta-bench: composing from %s failed\n", photo.label);
        return 1;
      }
      std::printf("%-10s %4dx%-5d %14.1f %14.1f", photo.label, size.width, size.height, compose,
                  save);
      if (photo.width == 640) {
        const bool met = compose < kSmallPhotoTargetMs;
        allMet = allMet && met;
        std::printf("   %s (< %.0f ms)", Verdict(met), kSmallPhotoTargetMs);
      }
      std::printf("\n");
    }
  }

  std::printf("\n");
  if (const std::optional<RatioTimes> times =
          CompareWithDjpeg(photos.front().path, bmp, 9, kClassicLarge, QStringLiteral("3/8"))) {
    const double ratio = times->composeMs / times->djpegMs;
    const bool met = ratio <= kRatioTarget;
    allMet = allMet && met;
    std::printf("djpeg -scale 3/8 of the 6000x4000 photo: %.1f ms\n", times->djpegMs);
    std::printf("composition 6000x4000 -> 1280x1024: %.1f ms, ratio %.2f   %s (<= %.1f)\n",
                times->composeMs, ratio, Verdict(met), kRatioTarget);
  } else {
    allMet = false;
    std::printf("djpeg did not run (install libjpeg-turbo-progs): ratio not measured   MISS\n");
  }
  // 3/4 is the smallest eighth of 6000 x 4000 that still covers 3840 x 2160 filled (3840 x 2560).
  allMet =
      Report(
          {"composition 6000x4000 -> 3840x2160 fill",
           Pair(CompareWithDjpeg(photos.front().path, bmp, 9, kFourKFill, QStringLiteral("3/4"))),
           "composed in", "djpeg -scale 3/4", kFourKRatioTarget}) &&
      allMet;

  {
    std::optional<std::pair<double, double>> times = MonthSwitch(photos.front().path, bmp);
    if (times) {
      times = std::pair{times->second, times->first};  // the switch against the cold composition
    }
    allMet = Report({"month switch with the 6000x4000 photo kept", times, "switched in",
                     "cold composition", kMonthSwitchTarget}) &&
             allMet;
  }

  allMet = WholeProcess(photos.front().path, processFolder) && allMet;

  allMet = HeicFigures(dir.path(), photos.back().path) && allMet;
  allMet = RunRenewalBench(photos.front().path, dir.filePath(QStringLiteral("renewal"))) && allMet;

  const QString yearFolder = dir.filePath(QStringLiteral("year-photos"));
  std::printf("\nGenerating twelve 6000x4000 photos for the year...\n");
  const std::optional<QStringList> yearPhotos = YearPhotos(yearFolder, 6000, 4000);
  const auto year = yearPhotos ? YearAtOnce(yearFolder, *yearPhotos, processFolder) : std::nullopt;
  allMet = Report({"year of 12 photos at 1920x1080", year, "one lunetta-compose",
                   "twelve single-month runs", kYearTarget}) &&
           allMet;

  allMet = Report({"A3 wall calendar of 12 photos with bleed",
                   yearPhotos ? WallCalendarTimes(*yearPhotos, processFolder) : std::nullopt,
                   "wall calendar PDF", "wallpapers' year PDF", kWallTarget}) &&
           allMet;
  allMet = Report({"A3 wall calendar of 12 photos with bleed, whole process",
                   yearPhotos ? WallCalendarProcess(yearFolder, processFolder) : std::nullopt,
                   "lunetta-compose --layout wall", "lunetta-compose --pdf of the wallpapers",
                   kWallTarget}) &&
           allMet;
  allMet =
      ReportPeak("peak memory of that wall calendar",
                 yearPhotos ? ChildPeakMb(QStringList{"--peak-wall", processFolder + "/wall.pdf"} +
                                          *yearPhotos)
                            : std::nullopt,
                 kWallPeakTargetMb) &&
      allMet;
  if (yearPhotos) {
    // What each notch cost when the window decoded on its own thread: a cold composition at the
    // window's picture size.
    const double decodeMs = MedianMs(5, [&] { ComposeOnce(yearPhotos->front(), Target{1}, bmp); });
    const std::optional<WheelTimes> wheel = WheelThroughMonths(*yearPhotos, processFolder, 25);
    const bool met = wheel && wheel->longestRepaintMs <= kWheelRepaintTargetMs;
    allMet = allMet && met;
    if (wheel) {
      std::printf(
          "\nmonth wheel, 22 notches 25 ms apart, a 6000x4000 photo each month: longest notch to "
          "repaint %.1f ms   %s (<= %.0f ms)\n",
          wheel->longestRepaintMs, Verdict(met), kWheelRepaintTargetMs);
      std::printf(
          "  one month's composition on the window's thread %.1f ms (ratio %.2f); the photo where "
          "the wheel stopped shown %.1f ms after the last notch, %d decode(s)\n",
          decodeMs, wheel->longestRepaintMs / decodeMs, wheel->photoShownMs, wheel->decodes);
    } else {
      std::printf("month wheel could not be measured   MISS\n");
    }
  }

  PrintBombs(processFolder, photos.back().path, bmp);
  PrintContrast(DetailedPhoto(1024, 768));

  allMet = ReportPeak("peak memory of one composition from 6000x4000",
                      PeakMb(photos.back().path, photos.front().path, bmp), kPeakTargetMb) &&
           allMet;
  allMet =
      ReportPeak("peak memory of one 3840x2160 fill from 6000x4000",
                 PeakMb(photos.back().path, photos.front().path, bmp, true), kFourKPeakTargetMb) &&
      allMet;
  allMet = RunLegibilityBench() && allMet;
  std::printf("\n%s\n", allMet ? "All targets met." : "Some targets missed.");
  return 0;
}

}  // namespace
}  // namespace lunetta

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  // A QApplication: the month wheel figure opens the main window.
  QApplication app(argc, argv);
  const QStringList arguments = QCoreApplication::arguments();
  if (arguments.size() == 5 && (arguments[1] == u"--peak" || arguments[1] == u"--peak-4k")) {
    return lunetta::MeasurePeak(
        arguments[2], arguments[3], arguments[4],
        arguments[1] == u"--peak" ? lunetta::kClassicLarge : lunetta::kFourKFill);
  }
  if (arguments.size() == 15 && arguments[1] == u"--peak-wall") {
    return lunetta::MeasureWallPeak(arguments.mid(3), arguments[2]);
  }
  // The 6000 x 4000 photo alone, for measuring by hand.
  if (arguments.size() == 3 && arguments[1] == u"--write-photo") {
    QImageWriter writer(arguments[2], "jpeg");
    writer.setQuality(90);
    return writer.write(lunetta::DetailedPhoto(6000, 4000)) ? 0 : 1;
  }
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  lunetta::InstallFontSubstitutes();
  // The placement and legibility figures alone.
  if (arguments.size() == 2 && arguments[1] == u"--legibility") {
    return lunetta::RunLegibilityBench() ? 0 : 1;
  }
  if (arguments.size() == 2 && arguments[1] == u"--wall") {  // only the wall calendar's process
    QTemporaryDir dir;
    return dir.isValid() && lunetta::WallFigures(dir.path()) ? 0 : 1;
  }
  if (arguments.size() == 2 && arguments[1] == u"--heic") {  // only the HEIC figures
    QTemporaryDir dir;
    return dir.isValid() && lunetta::HeicFigures(dir.path()) ? 0 : 1;
  }
  // The renewal's figure alone, from the 6000 x 4000 photo.
  if (arguments.size() == 2 && arguments[1] == u"--renewal") {
    QTemporaryDir dir;
    const QString photo = dir.filePath(QStringLiteral("photo.jpg"));
    QImageWriter writer(photo, "jpeg");
    writer.setQuality(90);
    return writer.write(lunetta::DetailedPhoto(6000, 4000)) &&
                   lunetta::RunRenewalBench(photo, dir.filePath(QStringLiteral("renewal")))
               ? 0
               : 1;
  }
  return lunetta::Run(arguments.size() == 2 && arguments[1] == u"--whole-process");
}
