#pragma once

// The imaginary shop whose access log the generator writes: its pages with
// their images, the shared style sheets and scripts, the addresses that do
// not exist, and the words that lead search engine users to each page.
//
//   /                                               home page
//   /catalog/smartphones/                           category page
//   /catalog.php?cat=laptops&page=2&sort=price_asc  listing with a query string
//   /catalog/laptops/asus-vivobook-15-16-512gb.html product page
//   /%D1%81%D1%82%D0%B0%D1%82%D1%8C%D0%B8/...html    article under a Cyrillic folder
//   /images/products/412/2.jpg                      product image
//
// Paths are kept as a browser sends them: UTF-8, percent-encoded.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Loggen_random.h"

namespace tw::loggen {

enum class ResourceKind : std::uint8_t {
  kPage,      // an HTML page or a PHP script that renders one
  kStyle,     // .css
  kScript,    // .js
  kImage,     // .jpg .gif .png .ico
  kRobots,    // /robots.txt, /sitemap.xml
  kRedirect,  // an old address answered with 301
  kMissing,   // an address that answers 404
  kForbidden, // an address that answers 403
};

struct Resource {
  std::string path;
  ResourceKind kind = ResourceKind::kPage;
  std::int32_t size = 0;     // body size of a 200 answer
  bool dynamic = false;      // a script whose answer varies in size
  std::vector<std::uint32_t> images;  // images the page shows
  std::string search_words;  // UTF-8 words that lead searchers here; empty for none
  std::int16_t category = -1;  // for products and category pages
  std::uint32_t target = 0;    // for redirects: the page the old address now leads to
};

class SiteModel {
 public:
  // The site's structure depends on `seed` only.
  explicit SiteModel(std::uint64_t seed);

  const Resource& Get(std::uint32_t id) const { return resources_[id]; }
  std::uint32_t Home() const { return home_; }
  std::uint32_t Favicon() const { return favicon_; }
  std::uint32_t Robots() const { return robots_; }
  std::uint32_t Sitemap() const { return sitemap_; }
  std::uint32_t Login() const { return login_; }
  std::uint32_t Cart() const { return cart_; }
  // Style sheets, scripts and the layout's images every page loads.
  const std::vector<std::uint32_t>& LayoutAssets() const { return layout_assets_; }

  // A page a visitor opens, the popular ones far more often.
  std::uint32_t PickPage(Rng& rng) const { return pages_[page_popularity_.Pick(rng)]; }
  // Any page with equal chance, as crawlers go through the site.
  std::uint32_t PickAnyPage(Rng& rng) const { return rng.Pick(pages_); }
  // A page search engines send visitors to.
  std::uint32_t PickLanding(Rng& rng) const { return landings_[landing_popularity_.Pick(rng)]; }
  std::uint32_t PickImage(Rng& rng) const { return rng.Pick(all_images_); }
  std::uint32_t PickMissing(Rng& rng) const { return rng.Pick(missing_); }
  std::uint32_t PickRedirect(Rng& rng) const { return rng.Pick(redirects_); }
  std::uint32_t PickProbe(Rng& rng) const { return rng.Pick(probes_); }

  // A phrase, UTF-8 with blanks, that someone typed into a search engine
  // before landing on `page`.
  std::string SearchPhrase(Rng& rng, std::uint32_t page) const;
  // A phrase for the shop's own search form.
  std::string OwnSearchPhrase(Rng& rng) const;

 private:
  std::uint32_t Add(Resource r);
  std::uint32_t AddImage(std::string path, std::int32_t size);

  std::vector<Resource> resources_;
  std::vector<std::uint32_t> pages_;  // in order of popularity
  std::vector<std::uint32_t> landings_;
  std::vector<std::uint32_t> all_images_;
  std::vector<std::uint32_t> missing_;
  std::vector<std::uint32_t> redirects_;
  std::vector<std::uint32_t> probes_;
  std::vector<std::uint32_t> layout_assets_;
  std::vector<std::string> product_names_;
  WeightedTable page_popularity_;
  WeightedTable landing_popularity_;
  std::uint32_t home_ = 0, favicon_ = 0, robots_ = 0, sitemap_ = 0, login_ = 0, cart_ = 0;
};

// Percent-encoding as browsers do it: bytes outside the unreserved set become
// %XX with upper-case digits. A path keeps its '/'; a query value turns blanks into '+'.
std::string EncodePath(std::string_view utf8);
std::string EncodeQueryValue(std::string_view utf8);
// The same for a text in Windows-1251, as older engines sent Cyrillic phrases.
std::string EncodeQueryValueCp1251(std::string_view utf8);

}  // namespace tw::loggen
