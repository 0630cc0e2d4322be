// The checkpoint file (reprise.hpp): lines "key=value" after a version line, closed by the FNV-1a
// checksum of everything before it.
#include "dialogue/reprise.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace unitfrac {

namespace {

constexpr const char* kVersion = "unitfrac-reprise 1";

std::uint64_t fnv1a(const std::string& s) {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (const unsigned char c : s) {
    h ^= c;
    h *= 0x100000001b3ULL;
  }
  return h;
}

std::string somme(const std::string& s) {
  char t[17];
  std::snprintf(t, sizeof t, "%016llx", static_cast<unsigned long long>(fnv1a(s)));
  return t;
}

// Text on one line: backslash and newline escaped.
std::string echapper(const std::string& s) {
  std::string r;
  r.reserve(s.size() + s.size() / 16);
  for (const char c : s) {
    if (c == '\\') r += "\\\\";
    else if (c == '\n') r += "\\n";
    else r += c;
  }
  return r;
}

std::string retablir(const std::string& s) {
  std::string r;
  r.reserve(s.size());
  for (std::size_t k = 0; k < s.size(); ++k) {
    if (s[k] == '\\' && k + 1 < s.size()) {
      ++k;
      r += s[k] == 'n' ? '\n' : s[k];
    } else {
      r += s[k];
    }
  }
  return r;
}

bool tout_ecrire(int fd, const std::string& s) {
  for (std::size_t fait = 0; fait < s.size();) {
    const ssize_t k = ::write(fd, s.data() + fait, s.size() - fait);
    if (k < 0 && errno == EINTR) continue;
    if (k <= 0) return false;
    fait += static_cast<std::size_t>(k);
  }
  return true;
}

}  // namespace

bool ecrire_point(const std::string& fichier, const PointReprise& p) {
  std::ostringstream c;
  c << kVersion << '\n'
    << "calcul=" << p.calcul << '\n'
    << "etat=" << (p.fini ? "fini" : "en cours") << '\n'
    << "solutions=" << p.solutions << '\n'
    << "xn_max=" << p.xn_max.get_str() << '\n'
    << "x1_min=" << p.x1_min.get_str() << '\n'
    << "debut=" << p.debut << '\n'
    << "bons=" << p.bons << '\n';
  if (!p.texte.empty() || !p.derniere.empty())
    c << "texte=" << echapper(p.texte) << '\n' << "derniere=" << p.derniere << '\n';
  std::string texte = c.str();
  texte += "somme=" + somme(texte) + '\n';
  const std::string nouveau = fichier + ".nouveau";
  const int fd = ::open(nouveau.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = tout_ecrire(fd, texte) && ::fsync(fd) == 0;
  const int e = errno;
  ok = ::close(fd) == 0 && ok;
  if (!ok || std::rename(nouveau.c_str(), fichier.c_str()) != 0) {
    const int e2 = ok ? errno : e;
    std::remove(nouveau.c_str());
    errno = e2;
    return false;
  }
  // The rename itself reaches the disk with its directory.
  const std::size_t barre = fichier.rfind('/');
  const std::string dossier = barre == std::string::npos ? "." : barre == 0 ? "/" : fichier.substr(0, barre);
  if (const int d = ::open(dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); d >= 0) {
    ::fsync(d);
    ::close(d);
  }
  return true;
}

LecturePoint lire_point(const std::string& fichier, PointReprise& p, std::string& erreur) {
  std::ifstream f(fichier, std::ios::binary);
  if (!f) {
    if (errno == ENOENT) return LecturePoint::absent;
    erreur = "lecture impossible";
    return LecturePoint::refuse;
  }
  const std::string texte((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  if (texte.empty()) return LecturePoint::absent;  // created empty by hand: nothing done yet
  if (texte.rfind(std::string(kVersion) + '\n', 0) != 0) {
    erreur = texte.rfind("unitfrac-reprise ", 0) == 0 ? "point de reprise d'une autre version de unitfrac"
                                                      : "ce n'est pas un point de reprise de unitfrac";
    return LecturePoint::refuse;
  }
  const std::size_t fin = texte.rfind("somme=");
  if (fin == std::string::npos || texte.back() != '\n' || texte.compare(fin + 6, 16, somme(texte.substr(0, fin))) != 0 ||
      texte.size() != fin + 6 + 16 + 1) {
    erreur = "point de reprise tronque ou abime (somme de controle fausse)";
    return LecturePoint::refuse;
  }
  p = PointReprise{};
  std::istringstream lignes(texte.substr(0, fin));
  std::string ligne;
  std::getline(lignes, ligne);
  int vus = 0;
  try {
    while (std::getline(lignes, ligne)) {
      const std::size_t egal = ligne.find('=');
      const std::string cle = ligne.substr(0, egal), v = egal == std::string::npos ? "" : ligne.substr(egal + 1);
      ++vus;
      if (cle == "calcul") p.calcul = v;
      else if (cle == "etat") p.fini = v == "fini";
      else if (cle == "solutions") p.solutions = std::stoll(v);
      else if (cle == "xn_max") p.xn_max.set_str(v, 10);
      else if (cle == "x1_min") p.x1_min.set_str(v, 10);
      else if (cle == "debut") p.debut = v;
      else if (cle == "bons") p.bons = v;
      else if (cle == "texte") p.texte = retablir(v);
      else if (cle == "derniere") p.derniere = v;
      else --vus;
    }
  } catch (const std::exception&) {
    vus = 0;
  }
  if (vus != 7 && vus != 9) {  // a partial table's two more
    erreur = "point de reprise illisible";
    return LecturePoint::refuse;
  }
  return LecturePoint::lu;
}

}  // namespace unitfrac
