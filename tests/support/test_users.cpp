#include "support/test_users.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "support/child_process.h"

namespace {

// Runs an account tool; they refuse while another holds the account files'
// lock (a test running beside this one), so they are tried again a while.
bool RunTool(const std::vector<std::string>& argv) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    ChildProcess tool(argv);
    if (tool.Wait() == 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (argv[0].find("groupadd") != std::string::npos && ::getgrnam(argv.back().c_str())) return true;
    if (argv[0].find("useradd") != std::string::npos && ::getpwnam(argv.back().c_str())) return true;
  }
  return false;
}

bool InGroup(const std::string& user, const std::string& group) {
  const struct group* g = ::getgrnam(group.c_str());
  if (!g) return false;
  for (char** member = g->gr_mem; *member; ++member) {
    if (user == *member) return true;
  }
  return false;
}

}  // namespace

std::string WhyNoTestUsers() {
  if (::geteuid() != 0) return "not root: cannot create the test users";
  for (const char* tool : {"/usr/sbin/useradd", "/usr/sbin/groupadd", "/usr/sbin/usermod",
                           "/usr/bin/setpriv"}) {
    if (::access(tool, X_OK) != 0) return std::string(tool) + " is missing";
  }
  return "";
}

std::optional<gid_t> EnsureTestGroup(const std::string& name) {
  if (!WhyNoTestUsers().empty()) return std::nullopt;
  if (!::getgrnam(name.c_str()) && !RunTool({"/usr/sbin/groupadd", "-f", name})) return std::nullopt;
  const struct group* g = ::getgrnam(name.c_str());
  if (!g) return std::nullopt;
  return g->gr_gid;
}

std::optional<TestUser> EnsureTestUser(const std::string& name,
                                       const std::vector<std::string>& groups) {
  if (!EnsureTestGroup(name)) return std::nullopt;
  for (const std::string& group : groups) {
    if (!EnsureTestGroup(group)) return std::nullopt;
  }
  if (!::getpwnam(name.c_str()) &&
      !RunTool({"/usr/sbin/useradd", "-M", "-N", "-g", name, "-s", "/usr/sbin/nologin", name})) {
    return std::nullopt;
  }
  for (const std::string& group : groups) {
    if (!InGroup(name, group) && !RunTool({"/usr/sbin/usermod", "-a", "-G", group, name})) {
      return std::nullopt;
    }
  }
  const struct passwd* pw = ::getpwnam(name.c_str());
  if (!pw) return std::nullopt;
  return TestUser{name, pw->pw_uid, pw->pw_gid};
}

std::vector<std::string> RunAs(const TestUser& user) {
  return {"/usr/bin/setpriv", "--reuid=" + std::to_string(user.uid),
          "--regid=" + std::to_string(user.gid), "--init-groups"};
}
