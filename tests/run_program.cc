#include "run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <cstdlib>

namespace {

void drain(int out_fd, int err_fd, RunResult &r) {
  pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
  std::string *sinks[2] = {&r.out, &r.err};
  int open_fds = 2;
  char buf[65536];
  while (open_fds > 0) {
    if (poll(fds, 2, -1) < 0) break;
    for (int k = 0; k < 2; k++) {
      if (fds[k].fd < 0 || !(fds[k].revents & (POLLIN | POLLHUP))) continue;
      ssize_t n = read(fds[k].fd, buf, sizeof buf);
      if (n > 0) {
        sinks[k]->append(buf, n);
      } else {
        close(fds[k].fd);
        fds[k].fd = -1;
        open_fds--;
      }
    }
  }
}

std::vector<char *> arguments(const std::string &program,
                              const std::vector<std::string> &args) {
  std::vector<char *> argv;
  argv.push_back(const_cast<char *>(program.c_str()));
  for (const auto &a : args) argv.push_back(const_cast<char *>(a.c_str()));
  argv.push_back(nullptr);
  return argv;
}

} // namespace

RunResult run_program(const std::string &program,
                      const std::vector<std::string> &args,
                      const std::string &workdir, const std::string &input) {
  std::string path = std::string(BIN_DIR) + "/" + program;
  int out[2], err[2], in[2];
  if (pipe(out) || pipe(err) || pipe(in)) abort();
  pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    dup2(err[1], 2);
    dup2(in[0], 0);
    for (int fd : {out[0], out[1], err[0], err[1], in[0], in[1]}) close(fd);
    if (!workdir.empty() && chdir(workdir.c_str()) != 0) _exit(126);
    execv(path.c_str(), arguments(program, args).data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  close(in[0]);
  // Small inputs fit the pipe buffer, so writing first cannot deadlock.
  if (!input.empty() && write(in[1], input.data(), input.size()) < 0) abort();
  close(in[1]);
  RunResult r{-1, "", ""};
  drain(out[0], err[0], r);
  int status = 0;
  waitpid(pid, &status, 0);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return r;
}

std::string run_on_terminal(const std::string &program,
                            const std::vector<std::string> &args, int cpu_seconds) {
  std::string path = std::string(BIN_DIR) + "/" + program;
  int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) || unlockpt(master)) abort();
  std::string terminal = ptsname(master);
  pid_t pid = fork();
  if (pid == 0) {
    int fd = open(terminal.c_str(), O_RDWR | O_NOCTTY);
    termios mode;
    if (fd < 0 || tcgetattr(fd, &mode)) _exit(126);
    cfmakeraw(&mode); // no "\r" before each "\n"
    tcsetattr(fd, TCSANOW, &mode);
    rlimit cpu = {static_cast<rlim_t>(cpu_seconds), static_cast<rlim_t>(cpu_seconds)};
    rlimit no_core = {0, 0};
    setrlimit(RLIMIT_CPU, &cpu);
    setrlimit(RLIMIT_CORE, &no_core);
    dup2(fd, 1);
    dup2(open("/dev/null", O_WRONLY), 2);
    close(fd);
    close(master);
    execv(path.c_str(), arguments(program, args).data());
    _exit(127);
  }
  // Reading fails (EIO) once the program has ended and the terminal is shut.
  std::string shown;
  char buf[4096];
  for (ssize_t n; (n = read(master, buf, sizeof buf)) > 0;) shown.append(buf, n);
  waitpid(pid, nullptr, 0);
  close(master);
  return shown;
}

std::vector<std::string> split_lines(const std::string &text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

void expect_seed_decides(const std::string &program,
                         const std::vector<std::string> &args) {
  auto with_seed = [&](const char *seed) {
    std::vector<std::string> all = {"-seed", seed};
    all.insert(all.end(), args.begin(), args.end());
    return run_program(program, all);
  };
  auto a = with_seed("7"), b = with_seed("7"), c = with_seed("8");
  EXPECT_EQ(a.status, 0) << program;
  EXPECT_EQ(a.out + a.err, b.out + b.err) << program;
  EXPECT_NE(a.out + a.err, c.out + c.err) << program;
}

std::vector<StatBlock> stat_blocks(const std::string &text, size_t size) {
  auto lines = split_lines(text);
  EXPECT_EQ(lines.size() % size, 0u);
  std::vector<StatBlock> result;
  for (size_t i = 0; i + size <= lines.size(); i += size) {
    StatBlock b{-1, {}};
    EXPECT_EQ(lines[i], "---");
    EXPECT_EQ(sscanf(lines[i + 1].c_str(), "time = %d", &b.time), 1);
    b.lines.assign(lines.begin() + i + 2, lines.begin() + i + size);
    result.push_back(b);
  }
  return result;
}

std::vector<DigitBlock> digit_blocks(const std::string &text, const char *point_format) {
  int coordinates = 0;
  for (const char *p = point_format; (p = strstr(p, "%lf")); p++) coordinates++;
  std::vector<DigitBlock> result;
  for (const auto &s : stat_blocks(text, 6)) {
    DigitBlock b{s.time, 0, 0, 0, 0, ""};
    char dna[4096] = "";
    EXPECT_EQ(sscanf(s.lines[0].c_str(), "average value = %lf", &b.average), 1);
    EXPECT_EQ(sscanf(s.lines[1].c_str(), point_format, &b.x, &b.y), coordinates);
    EXPECT_EQ(sscanf(s.lines[2].c_str(), "best DNA = \"%4095[01]\"", dna), 1);
    EXPECT_EQ(sscanf(s.lines[3].c_str(), "best value = %lf", &b.value), 1);
    b.dna = dna;
    result.push_back(b);
  }
  return result;
}
