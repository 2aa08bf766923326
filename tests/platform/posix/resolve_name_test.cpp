// Names resolved one component at a time: where they lead, the links
// followed on the way and their owners, and the rule for trusting a link.
#include "platform/posix/resolve_name.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "support/sandbox.h"

namespace {

// The inode a resolution ended at (0 when it found no file), or -errno.
long long Resolve(const std::string& name, ResolvedName& out) {
  if (!ResolveName(name, out)) return -errno;
  if (out.file.Get() < 0) return 0;
  struct stat st;
  return ::fstat(out.file.Get(), &st) == 0 ? static_cast<long long>(st.st_ino) : -1;
}

long long InodeOf(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_ino) : -1;
}

TEST(ResolveName, FollowsLinksOneComponentAtATime) {
  Sandbox box;
  ::mkdir(box.Path("dir").c_str(), 0755);
  box.Write("dir/a.log", "a");
  ASSERT_EQ(::symlink("a.log", box.Path("dir/rel.log").c_str()), 0);
  ASSERT_EQ(::symlink(box.Path("dir/a.log").c_str(), box.Path("abs.log").c_str()), 0);
  ASSERT_EQ(::symlink("dir", box.Path("dirlink").c_str()), 0);
  ASSERT_EQ(::symlink("dirlink/rel.log", box.Path("chain.log").c_str()), 0);
  ASSERT_EQ(::symlink("missing.log", box.Path("dangling.log").c_str()), 0);
  ASSERT_EQ(::symlink("loop.log", box.Path("loop.log").c_str()), 0);
  const long long a = InodeOf(box.Path("dir/a.log"));
  const struct {
    std::string name;
    long long result;   // the inode reached, 0 for a missing file, or -errno
    std::string base;   // the name in its folder
    std::size_t links;  // links followed
  } cases[] = {
      {box.Path("dir/a.log"), a, "a.log", 0},
      {box.Path("dir//./a.log"), a, "a.log", 0},
      {box.Path("dir/../dir/a.log"), a, "a.log", 0},
      {box.Path("dir/rel.log"), a, "a.log", 1},
      {box.Path("abs.log"), a, "a.log", 1},
      {box.Path("chain.log"), a, "a.log", 3},  // chain, dirlink, rel
      {box.Path("dir/new.log"), 0, "new.log", 0},
      {box.Path("dangling.log"), 0, "missing.log", 1},  // created through the link
      {box.Path("nofolder/a.log"), -ENOENT, "", 0},
      {box.Path("dir/a.log/"), -ENOTDIR, "", 0},
      {box.Path("dir/a.log/x"), -ENOTDIR, "", 0},
      {box.Path("dir"), InodeOf(box.Path("dir")), "dir", 0},  // the caller refuses a folder
      {box.Path("dir/"), -EISDIR, "", 0},
      {box.Path("dir/.."), -EISDIR, "", 0},
      {box.Path("loop.log"), -ELOOP, "", 0},
      {"", -ENOENT, "", 0},
  };
  for (const auto& c : cases) {
    ResolvedName out;
    EXPECT_EQ(Resolve(c.name, out), c.result) << c.name;
    if (c.result < 0) continue;
    EXPECT_EQ(out.base, c.base) << c.name;
    EXPECT_EQ(out.link_owners.size(), c.links) << c.name;
    EXPECT_GE(out.folder.Get(), 0) << c.name;
  }
  // A relative name from the current folder.
  const std::string cwd = std::filesystem::current_path().string();
  ASSERT_EQ(::chdir(box.Path("dir").c_str()), 0);
  ResolvedName out;
  EXPECT_EQ(Resolve("rel.log", out), a);
  ASSERT_EQ(::chdir(cwd.c_str()), 0);
}

TEST(ResolveName, LinksAreTrustedFromTheCallerRootOrTheTargetsOwner) {
  const struct {
    std::vector<uid_t> link_owners;
    uid_t target_owner, caller;
    bool followed;
  } cases[] = {
      {{}, 1000, 0, true},               // no link at all
      {{1000}, 1000, 1000, true},        // the caller's own link
      {{1000}, 0, 0, false},             // a user's link to root's file, root calling
      {{1000}, 1000, 0, true},           // a user's link to that user's file
      {{0}, 1000, 1001, true},           // root's link
      {{1000}, 1001, 1001, false},       // another's link to the caller's own file
      {{1001, 1000}, 1001, 1001, false}, // one untrusted link in a chain is enough
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LinksMayBeFollowed(c.link_owners, c.target_owner, c.caller), c.followed)
        << c.link_owners.size() << " links, target " << c.target_owner << ", caller " << c.caller;
  }
}

}  // namespace
