#include "CupsQueues.h"

#include <cups/cups.h>

#include <cmath>
#include <cstdio>

#include "Cp932.h"

namespace kaede {

namespace {

struct TDests {
  cups_dest_t* Dests = nullptr;
  int Count = 0;
  TDests() { Count = cupsGetDests2(CUPS_HTTP_DEFAULT, &Dests); }
  ~TDests() { cupsFreeDests(Count, Dests); }
  TDests(const TDests&) = delete;
  TDests& operator=(const TDests&) = delete;
};

std::string Mm(double hundredths) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", std::round(hundredths / 10.0) / 10.0);
  return buf;
}

// The failure of a queue: what failed in Japanese first, the server's own reason after it.
Exception QueueError(const std::string& queue, const char* what) {
  const char* reason = cupsLastErrorString();
  return Exception(SJ("プリンタ「") + Utf8ToSjis(queue, TConvMode::Replace) + SJ("」") + Utf8ToSjis(what) + " (" +
                   Utf8ToSjis(reason ? reason : "", TConvMode::Replace) + ")");
}

}  // namespace

std::vector<TCupsQueue> CupsQueues() {
  TDests d;
  std::vector<TCupsQueue> r;
  for (int i = 0; i < d.Count; ++i) {
    const cups_dest_t& dest = d.Dests[i];
    if (dest.instance) continue;  // instances are the same queue with other defaults
    TCupsQueue q;
    q.Name = dest.name;
    q.IsDefault = dest.is_default != 0;
    if (const char* info = cupsGetOption("printer-info", dest.num_options, dest.options)) q.Info = info;
    r.push_back(q);
  }
  return r;
}

std::vector<TCupsMedium> CupsQueueMedia(const std::string& queue) {
  TDests d;
  cups_dest_t* dest = cupsGetDest(queue.c_str(), nullptr, d.Count, d.Dests);
  if (!dest) throw QueueError(queue, "が見つかりません。");
  cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
  if (!info) throw QueueError(queue, "の用紙を読めませんでした。");
  std::vector<TCupsMedium> r;
  for (unsigned flags : {unsigned(CUPS_MEDIA_FLAGS_DEFAULT), unsigned(CUPS_MEDIA_FLAGS_BORDERLESS)}) {
    const int n = cupsGetDestMediaCount(CUPS_HTTP_DEFAULT, dest, info, flags);
    for (int i = 0; i < n; ++i) {
      cups_size_t size;
      if (!cupsGetDestMediaByIndex(CUPS_HTTP_DEFAULT, dest, info, i, flags, &size)) continue;
      TCupsMedium m{size.media, size.width, size.length, size.left, size.bottom, size.right, size.top};
      bool seen = false;
      for (const TCupsMedium& o : r)
        seen = seen || (o.Name == m.Name && o.Borderless() == m.Borderless() && o.Width == m.Width && o.Length == m.Length);
      if (!seen && m.Width > 0 && m.Length > 0) r.push_back(m);
    }
  }
  cupsFreeDestInfo(info);
  return r;
}

const TCupsMedium* MatchCupsMedium(const std::vector<TCupsMedium>& media, double widthMm, double heightMm,
                                   bool borderless) {
  auto near = [](double a, double b) { return std::abs(a - b) <= 0.5 + 1e-9; };
  const TCupsMedium* fallback = nullptr;
  for (const TCupsMedium& m : media) {
    const double w = m.Width / 100.0, h = m.Length / 100.0;
    if (!((near(w, widthMm) && near(h, heightMm)) || (near(w, heightMm) && near(h, widthMm)))) continue;
    if (m.Borderless() == borderless) return &m;
    if (!fallback) fallback = &m;
  }
  return fallback;
}

std::string CupsMediumCaption(const TCupsMedium& m) {
  struct TName {
    const char* Prefix;
    const char* Caption;
  };
  static const TName kNames[] = {
      {"iso_a3_", "A3"},        {"iso_a4_", "A4"},         {"iso_a5_", "A5"},         {"iso_a6_", "A6"},
      {"jis_b4_", "B4"},        {"jis_b5_", "B5"},         {"na_letter_", "レター"},  {"na_legal_", "リーガル"},
      {"jpn_hagaki_", "はがき"}, {"jpn_oufuku_", "往復はがき"}, {"jpn_chou3_", "長形3号"}, {"jpn_chou4_", "長形4号"},
      {"jpn_kaku2_", "角形2号"}, {"iso_dl_", "洋形長3号"},  {"iso_c5_", "C5封筒"},    {"na_number-10_", "洋形4号"},
  };
  std::string caption;
  for (const TName& n : kNames)
    if (m.Name.rfind(n.Prefix, 0) == 0) caption = Utf8ToSjis(n.Caption) + " ";
  caption += Mm(m.Width) + SJ("×") + Mm(m.Length) + "mm";
  if (m.Borderless()) caption += SJ(" フチなし");
  return caption;
}

std::vector<std::pair<std::string, std::string>> CupsJobOptions(const TCupsMedium* media, double widthMm,
                                                                double heightMm, const TPrintJobOptions& job) {
  std::vector<std::pair<std::string, std::string>> r;
  if (media) {
    r.emplace_back("media", media->Name);
    if (media->Borderless()) {
      // the borderless variant is the same name with margins 0: asked for through media-col
      r.back() = {"media-col", "{media-size={x-dimension=" + std::to_string(media->Width) +
                                   " y-dimension=" + std::to_string(media->Length) +
                                   "} media-bottom-margin=0 media-left-margin=0 media-right-margin=0 media-top-margin=0" +
                                   (job.Source.empty() ? std::string() : " media-source=" + job.Source) + "}"};
    }
  } else {
    r.emplace_back("media", "Custom." + Mm(std::min(widthMm, heightMm) * 100) + "x" + Mm(std::max(widthMm, heightMm) * 100) + "mm");
  }
  r.emplace_back("copies", std::to_string(std::max(1, job.Copies)));
  r.emplace_back("multiple-document-handling",
                 job.Collate ? "separate-documents-collated-copies" : "separate-documents-uncollated-copies");
  r.emplace_back("Collate", job.Collate ? "True" : "False");
  if (!job.Sides.empty()) r.emplace_back("sides", job.Sides);
  if (!job.ColorMode.empty()) r.emplace_back("print-color-mode", job.ColorMode);
  if (!job.Source.empty()) r.emplace_back("media-source", job.Source);
  // the pages are the medium's size and fed upright: nothing is scaled or turned on the way
  r.emplace_back("print-scaling", "none");
  r.emplace_back("fit-to-page", "false");
  r.emplace_back("orientation-requested", "3");
  for (const auto& [name, value] : job.Extra) {
    bool ours = name == "media" || name == "PageSize" || name == "PageRegion" || name == "copies" ||
                name == "orientation-requested" || name == "landscape" || name == "fit-to-page" || name == "page-ranges";
    if (!ours) r.emplace_back(name, value);
  }
  return r;
}

int SubmitCupsJob(const std::string& queue, const std::string& title, const std::string& pdfFile,
                  const std::vector<std::pair<std::string, std::string>>& options) {
  cups_option_t* opts = nullptr;
  int n = 0;
  for (const auto& [name, value] : options) n = cupsAddOption(name.c_str(), value.c_str(), n, &opts);
  n = cupsAddOption("document-format", "application/pdf", n, &opts);
  const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, queue.c_str(), pdfFile.c_str(), title.c_str(), n, opts);
  cupsFreeOptions(n, opts);
  if (job <= 0) throw QueueError(queue, "に印刷を送れませんでした。");
  return job;
}

}  // namespace kaede
