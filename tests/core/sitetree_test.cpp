// The tree of site sections built from the loaded requests.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/report_kinds.h"
#include "form/form.h"
#include "report_fixture.h"

namespace tw {
namespace {

using testing::LogLine;

// "www(a(b(c.html),d.html))": each node's text, its children in brackets.
std::string Dump(const TreeNode* node) {
  if (node == nullptr) return "(none)";
  std::string out = node->Text;
  if (!node->Children.empty()) {
    out += "(";
    for (std::size_t i = 0; i < node->Children.size(); ++i) {
      if (i > 0) out += ",";
      out += Dump(node->Children[i].get());
    }
    out += ")";
  }
  return out;
}

class SiteTreeTest : public testing::ReportFixture {
 protected:
  // Loads the requests (status 200 unless given as "url 404") and returns the tree.
  std::string TreeOf(const std::vector<LogLine>& lines) {
    Load(lines);
    return Dump(form_->TreeView1.Root.get());
  }
};

LogLine Url(const std::string& url, const std::string& status = "200") {
  return {.url = url, .status = status};
}

TEST_F(SiteTreeTest, BuildsSegmentsInCaseFoldedOrder) {
  const struct {
    const char* name;
    std::vector<LogLine> lines;
    const char* tree;
  } cases[] = {
      {"nested paths", {Url("/a/b/c.html"), Url("/a/d.html"), Url("/")}, "www(a(b(c.html),d.html))"},
      {"sorted, not in file order", {Url("/b.html"), Url("/a.html"), Url("/c/")}, "www(a.html,b.html,c)"},
      {"trailing and double slashes", {Url("/a/"), Url("/a"), Url("//a//b/")}, "www(a(b))"},
      // A capital letter that arrives percent-encoded stays; segments compare exactly.
      {"decoded capital", {Url("/%41/b.html"), Url("/a/c.html")}, "www(A(b.html),a(c.html))"},
      {"blank in a segment", {Url("/my%20docs/a.html")}, "www(my docs(a.html))"},
      {"a query with slashes adds levels", {Url("/go?to=/x/y")}, "www(go?to=(x(y)))"},
      {"error statuses add nothing", {Url("/new.html", "404"), Url("/old.html", "500"), Url("/ok.html", "399")},
       "www(ok.html)"},
      {"HTML requests only", {Url("/img/logo.gif"), Url("/css/a.css"), Url("/p.php")}, "www(p.php)"},
      {"no records", {}, "www"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TreeOf(c.lines), c.tree) << c.name;
    EXPECT_EQ(form_->TreeView1.Selected, form_->TreeView1.Root.get()) << c.name;
    EXPECT_TRUE(form_->TreeView1.AutoExpand) << c.name;
  }
}

TEST_F(SiteTreeTest, RequestButtonsRebuildTheTreeWithoutRunningTheAnalysis) {
  Load({Url("/img/logo.gif"), Url("/a.html")});
  EXPECT_EQ(Dump(form_->TreeView1.Root.get()), "www(a.html)");
  const int generation = form_->TreeView1.Generation;
  const ReportKindInfo* report_kind = form_->ReportKind();
  const auto selected = form_->SelectedCount();

  form_->CheckRequestButton(3);
  form_->RadioButton14Click();
  EXPECT_EQ(form_->RequestFilter, 3);
  EXPECT_EQ(Dump(form_->TreeView1.Root.get()), "www(a.html,img(logo.gif))");
  EXPECT_GT(form_->TreeView1.Generation, generation);
  EXPECT_EQ(form_->SelectedCount(), selected);
  EXPECT_EQ(form_->ReportKind(), report_kind);

  form_->CheckRequestButton(2);
  form_->RadioButton14Click();
  EXPECT_EQ(form_->RequestFilter, 2);
  EXPECT_EQ(Dump(form_->TreeView1.Root.get()), "www(a.html)");

  form_->CheckRequestButton(1);
  form_->RadioButton14Click();
  EXPECT_EQ(form_->RequestFilter, 1);
}

TEST_F(SiteTreeTest, WithoutALogTheTreeStaysEmpty) {
  form_->CheckRequestButton(3);
  form_->RadioButton14Click();
  EXPECT_EQ(form_->TreeView1.Root, nullptr);
  EXPECT_FALSE(form_->SelectSectionByPath("/"));
  EXPECT_EQ(form_->SelectedSectionPath(), "/");
}

TEST_F(SiteTreeTest, ClearSiteTreeRemovesEveryNode) {
  Load({Url("/a.html")});
  const int generation = form_->TreeView1.Generation;
  form_->ClearSiteTree();
  EXPECT_EQ(form_->TreeView1.Root, nullptr);
  EXPECT_EQ(form_->TreeView1.Selected, nullptr);
  EXPECT_GT(form_->TreeView1.Generation, generation);
}

TEST_F(SiteTreeTest, SelectsSectionsByTheirPath) {
  Load({Url("/news/2008/a.html"), Url("/news/b.html"), Url("/my%20docs/a.html")});
  const struct {
    const char* path;
    bool found;
  } cases[] = {
      {"/", true},           {"/news", true},   {"/news/2008", true}, {"/news/2008/a.html", true},
      {"/my docs", true},    {"/news/", false}, {"//news", false},    {"news", false},
      {"/News", false},      {"/new", false},   {"/news/2009", false}, {"", false},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(form_->SelectSectionByPath("/news/b.html"));
    EXPECT_EQ(form_->SelectSectionByPath(c.path), c.found) << c.path;
    // A path that names no node leaves the selection as it was.
    EXPECT_EQ(form_->SelectedSectionPath(), c.found ? std::string(c.path) : "/news/b.html") << c.path;
  }
}

TEST_F(SiteTreeTest, SelectedSectionLimitsTheNextRun) {
  Load({{.time = "10/Feb/2008:12:00:00", .url = "/old/a.html"},
        {.url = "/my%20docs/a.html"},
        {.url = "/b.html"}});
  EXPECT_EQ(Dump(form_->TreeView1.Root.get()), "www(b.html,my docs(a.html),old(a.html))");

  ASSERT_TRUE(form_->SelectSectionByPath("/my docs"));
  form_->RunAnalysis();
  EXPECT_EQ(form_->SelectedCount(), 1);

  // The tree covers every month; a section of another month selects nothing.
  ASSERT_TRUE(form_->SelectSectionByPath("/old"));
  form_->RunAnalysis();
  EXPECT_EQ(form_->SelectedCount(), 0);
}

}  // namespace
}  // namespace tw
