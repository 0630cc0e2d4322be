// The ordered merge: the consumer of the team's tasks, in order, feeding the display.
#include "parallele/fusion.hpp"

#include <algorithm>
#include <optional>
#include <vector>

#include "parallele/equipe.hpp"

namespace unitfrac {

namespace {

// The lines of a counted task at the ranks `rangs` (increasing), run again on `moteur` from the
// states its worker kept on the way: from each state, up to the last rank before the next one.
Morceau extraire(const Tache& t, const std::vector<long long>& rangs, Moteur& moteur, Forme forme, bool tally) {
  Morceau lignes;
  std::size_t k = 0, j = 0;  // next rank wanted; first state not before it
  while (k < rangs.size()) {
    while (j < t.places.size() && t.reperes[t.places[j]] <= rangs[k]) ++j;
    moteur.reprendre(t.depart);
    long long rang = 0;
    if (j > 0) {
      rang = t.reperes[t.places[j - 1]];
      moteur.importer(&t.reperes[t.places[j - 1] + 1]);
    }
    const long long limite = j < t.places.size() ? t.reperes[t.places[j]] : t.nombre;
    std::vector<long long> voulus;
    while (k < rangs.size() && rangs[k] < limite) voulus.push_back(rangs[k++]);
    PuitsExtraction puits(forme, tally, rang, std::move(voulus));
    moteur.courir(puits);
    for (long long a = 0; a < puits.lignes.nombre; ++a)
      lignes.ajouter_de(puits.lignes, static_cast<std::size_t>(a));
  }
  return lignes;
}

// A counted task: its solutions go to the display in the partial table, where only those at the
// start of each group of K are shown, or in a count, where none is; the shown ones come from the
// first and last solutions kept, or are found again (on `brouillon`, a copy of the search made at
// the first need). For a count with the tally, the task's good numbers join the display's.
void compter(const Tache& t, Affichage& aff, bool tally, const Moteur& depart, std::optional<Moteur>& brouillon) {
  const long long c = t.nombre;
  if (c == 0) return;
  if (aff.tout_sommer()) aff.ajouter(t.bons);
  const Pagination& pagination = aff.pagination();
  std::vector<long long> montres, interieurs;
  for (i128 r = pagination.avant_montree(); r < c; r += pagination.groupe()) {
    montres.push_back(static_cast<long long>(r));
    if (r != 0 && r != c - 1) interieurs.push_back(static_cast<long long>(r));
  }
  if (!interieurs.empty() && !brouillon) brouillon.emplace(depart.semblable());
  const Morceau extraits = interieurs.empty() ? Morceau() : extraire(t, interieurs, *brouillon, aff.forme(), tally);
  long long fait = 0;
  std::size_t e = 0;
  Bon bon;
  for (const long long r : montres) {
    aff.passer(r - fait);
    const Morceau& m = r == 0 ? t.premiere : r == c - 1 ? t.derniere : extraits;
    const std::size_t k = r == 0 || r == c - 1 ? 0 : e++;
    aff(m.queue(k), m.bon(k, bon));
    fait = r + 1;
  }
  aff.passer(c - fait);
  aff.copier(t.valeurs_derniere);
}

}  // namespace

std::optional<Issue> courir_en_parallele(Moteur& depart, Affichage& aff, const Reglages& reg,
                                         const Parallele& cfg, Veille* veille, std::string& reprise,
                                         const Lanceur& lancer, Temoin* temoin) {
  const bool tally = reg.cptbon == 1;
  const long long feuilles = depart.feuilles();
  Temoin personne;
  Temoin& qui = temoin != nullptr ? *temoin : personne;
  Equipe equipe(cfg, depart, aff.forme(), tally, aff.pagination(), lancer, qui);
  if (equipe.ouvriers() < cfg.threads && veille != nullptr) veille->fils_refuses(cfg.threads, equipe.ouvriers());
  if (equipe.ouvriers() == 0) return std::nullopt;
  struct Bilan {
    Temoin& temoin;
    const Equipe& equipe;
    ~Bilan() { temoin.bilan(equipe.taches(), equipe.reprises()); }
  } bilan{qui, equipe};
  std::optional<Moteur> brouillon;
  bool vidange = false;  // interrupted: what is ready comes out, nothing is waited for
  Bon bon;
  for (;;) {
    if (veille != nullptr && !vidange) {
      if (!veille->tic()) {
        vidange = true;
        aff.sans_pause();
      } else if (veille->due()) {
        veille->montrer({aff.K1, feuilles + equipe.feuilles(), equipe.position()});
      }
    }
    using std::chrono::milliseconds;
    Equipe::Prise p = vidange ? equipe.prendre(milliseconds(0))
                            : veille != nullptr ? equipe.prendre(milliseconds(20))
                                                : equipe.prendre();
    if (!p.tache) {
      if (!vidange) continue;
      if (!aff.derniere_trouvee()) reprise = *equipe.depart_tete(false);  // otherwise the last solution found says it
      if (veille->conclure) veille->conclure(reprise);
      return Issue::interrompue;
    }
    const Tache& t = *p.tache;
    if (p.morceau) {
      const Morceau& m = *p.morceau;
      for (std::size_t k = 0; k < static_cast<std::size_t>(m.nombre); ++k) {
        aff(m.queue(k), m.bon(k, bon));
        if (aff.arret()) {
          // Stopped at a pause: the report follows only if the step that found this solution
          // ended the search.
          const bool fin = p.finale && k + 1 == static_cast<std::size_t>(m.nombre) && t.fin_sur_derniere;
          if (fin) aff.etendre(t.extremes);
          return fin ? Issue::finie : Issue::arretee;
        }
      }
      if (m.nombre > 0) aff.copier(m.derniere);
      equipe.paging(aff.pagination());  // a pause may have changed it
      equipe.rendre(std::move(*p.morceau));
      continue;
    }
    // The head task is finished and everything it published has been taken.
    if (t.compte) compter(t, aff, tally, depart, brouillon);
    aff.etendre(t.extremes);
    if (aff.arret()) return Issue::arretee;  // the lines could not be written
    if (!equipe.avancer()) return Issue::finie;
    // Every task before the new head one has been taken whole.
    if (veille != nullptr && veille->garde_due())
      if (const auto debut = equipe.depart_tete(true)) veille->garder(*debut, aff.K1);
  }
}

}  // namespace unitfrac
