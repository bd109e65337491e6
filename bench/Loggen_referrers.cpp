#include "Loggen_referrers.h"

#include <cstdio>
#include <string_view>
#include <utility>
#include <vector>

namespace tw::loggen {
namespace {

// Result-page forms of one engine. "{p}" stands for the encoded phrase, "{n}"
// for a number, "{site}" for the shop's host and "{id}" for an image number.
struct Engine {
  std::uint64_t weight;
  std::vector<const char*> forms;
};

const std::vector<Engine>& Engines() {
  static const std::vector<Engine> engines = {
      {40,
       {"yandex.ru/yandsearch?text={p}&lr=213", "yandex.ru/search/?text={p}&lr=2&clid=2186621",
        "www.yandex.ru/yandsearch?clid=9582&text={p}&lr=54",
        "yandex.ru/clck/jsredir?from=yandex.ru%3Bsearch%2F%3Bweb%3B%3B&text={p}&etext=2202.{n}&state={n}",
        "yandex.ru/search/touch/?text={p}&lr=213&mda=0", "yandex.ru/"}},
      {33,
       {"www.google.ru/search?hl=ru&q={p}&btnG=%D0%9F%D0%BE%D0%B8%D1%81%D0%BA+%D0%B2+Google&lr=",
        "www.google.com/search?q={p}&ie=utf-8&oe=utf-8&aq=t&rls=org.mozilla:ru:official&client=firefox-a",
        "www.google.ru/url?sa=t&rct=j&q={p}&esrc=s&source=web&cd={n}&url=http%3A%2F%2F{site}%2F&ei={n}",
        "www.google.ru/search?q={p}&oq={p}&aqs=chrome..69i57j0l5.{n}j0j7&sourceid=chrome&ie=UTF-8",
        "www.google.com.ua/search?hl=ru&source=hp&q={p}&aq=f&aqi=&aql=&oq=", "www.google.com/"}},
      {7,
       {"go.mail.ru/search?q={p}&where=any&num=10&rch=e&sf={n}", "go.mail.ru/search?fr=main&q={p}"}},
      {5, {"www.bing.com/search?q={p}&form=QBLH&qs=n&sp=-1", "www.bing.com/search?q={p}&src=IE-SearchBox&FORM=IE8SRC"}},
      {4, {"nova.rambler.ru/search?query={p}&pageNumber=1", "nova.rambler.ru/srch?query={p}&btnG=%CD%E0%E9%F2%E8%21"}},
      {3,
       {"images.yandex.ru/yandsearch?text={p}&img_url=http%3A%2F%2F{site}%2Fimg%2Fp%2F{id}%2F1.jpg&pos={n}"
        "&rpt=simage"}},
      {1, {"images.google.ru/imgres?imgurl=http://{site}/img/p/{id}/1.jpg&imgrefurl=http://{site}/&q={p}"}},
      {2, {"duckduckgo.com/?q={p}&t=h_", "duckduckgo.com/"}},
      {1, {"search.yahoo.com/search?p={p}&fr=yfp-t-501&toggle=1&cop=mss&ei=UTF-8"}},
      {1, {"www.sputnik.ru/search?q={p}"}},
  };
  return engines;
}

const char* const kOtherSites[] = {
    "vk.com/away.php?to=http%3A%2F%2F{site}%2F&cc_key=",
    "vk.com/wall-{n}_{n}",
    "www.facebook.com/",
    "t.co/{n}",
    "forum.ixbt.com/topic.cgi?id=17:{n}",
    "forum.ru-board.com/topic.cgi?forum=5&topic={n}",
    "habr.com/ru/articles/{n}/",
    "pikabu.ru/story/kupil_noutbuk_{n}",
    "otzovik.com/reviews/internet-magazin_example-shop_ru/",
    "irecommend.ru/content/internet-magazin-example-shop",
    "www.e-katalog.ru/list/{n}/",
    "price.ru/noutbuki/",
    "market.yandex.ru/product/{n}?hid={n}",
    "dzen.ru/a/Z{n}",
    "www.liveinternet.ru/users/tech_fan/post{n}/",
    "gadget-lover.livejournal.com/{n}.html",
    "blog.example.org/2025/02/review.html",
    "ru.wikipedia.org/wiki/%D0%98%D0%BD%D1%82%D0%B5%D1%80%D0%BD%D0%B5%D1%82-%D0%BC%D0%B0%D0%B3%D0%B0%D0%B7%D0%B8%D0%BD",
    "ok.ru/group/{n}/topic/{n}",
    "www.avito.ru/moskva/telefony?q=%D1%81%D0%BC%D0%B0%D1%80%D1%82%D1%84%D0%BE%D0%BD",
    "4pda.to/forum/index.php?showtopic={n}",
    "www.mvideo.ru/",
    "web.telegram.org/",
    "android-app://com.google.android.gm/",
};

const char* const kCatalogues[] = {
    "top100.rambler.ru/navi/{n}/",
    "top.mail.ru/rating?id={n}",
    "www.liveinternet.ru/rating/ru/shop/",
    "yaca.yandex.ru/yca/cat/Business/Shops/Electronics/",
    "www.list.ru/catalog/{n}.html",
    "catalog.aport.ru/rus/themes.aspx?id={n}",
    "www.dmoz.org/World/Russian/Biznes/Torgovlya/",
    "ratingruneta.ru/shops/",
    "www.yellowpages.ru/rus/nd2/qu1/mo100/",
};

}  // namespace

ReferrerMaker::ReferrerMaker(const SiteModel& site, std::string site_name, int https_percent)
    : site_(site), site_name_(std::move(site_name)), https_percent_(https_percent) {
  std::vector<std::uint64_t> weights;
  for (const Engine& e : Engines()) weights.push_back(e.weight);
  engines_ = WeightedTable(weights);
}

std::string ReferrerMaker::Scheme(Rng& rng) const { return rng.Percent(https_percent_) ? "https://" : "http://"; }

namespace {

// Fills the placeholders of `form`, drawing numbers in order of appearance.
std::string Fill(Rng& rng, std::string_view form, const std::string& phrase, const std::string& site) {
  std::string out;
  for (std::size_t i = 0; i < form.size(); ++i) {
    if (form[i] != '{') {
      out.push_back(form[i]);
      continue;
    }
    const std::size_t close = form.find('}', i);
    const std::string_view key = form.substr(i + 1, close - i - 1);
    if (key == "p") {
      out += phrase;
    } else if (key == "site") {
      out += site;
    } else if (key == "id") {
      out += std::to_string(rng.Range(100, 1700));
    } else {
      out += std::to_string(rng.Range(1000, 99999999));
    }
    i = close;
  }
  return out;
}

}  // namespace

std::string ReferrerMaker::Search(Rng& rng, std::uint32_t landing) const {
  const Engine& engine = Engines()[engines_.Pick(rng)];
  const char* form = rng.Pick(engine.forms);
  const std::string phrase = site_.SearchPhrase(rng, landing);
  std::string encoded;
  const int encoding = rng.Range(0, 99);
  if (encoding < 5) {
    encoded = EncodeQueryValueCp1251(phrase);  // as older engines sent Cyrillic
  } else if (encoding < 8) {
    // Passed through a redirector that encoded it once more.
    for (char c : EncodeQueryValue(phrase)) encoded += c == '%' ? std::string("%25") : std::string(1, c);
  } else {
    encoded = EncodeQueryValue(phrase);
  }
  const std::string scheme = Scheme(rng);
  return scheme + Fill(rng, form, encoded, site_name_);
}

std::string ReferrerMaker::OtherSite(Rng& rng) const {
  const char* form = rng.Pick(kOtherSites);
  if (std::string_view(form).find("://") != std::string_view::npos) return form;
  const std::string scheme = Scheme(rng);
  return scheme + Fill(rng, form, "", site_name_);
}

std::string ReferrerMaker::Catalogue(Rng& rng) const {
  const char* form = rng.Pick(kCatalogues);
  const std::string scheme = Scheme(rng);
  return scheme + Fill(rng, form, "", site_name_);
}

}  // namespace tw::loggen
