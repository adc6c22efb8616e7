// The recordings page of Kestrova: the list, the archive by day, the live state,
// the input heard live, listening along to new recordings, and the filters of both lists.
"use strict";

const $ = (id) => document.getElementById(id);
let live = null;
// Set once the connection broke; the next opening looks for what was filed meanwhile.
let unterbrochen = false;

const FILTER_SCHLUESSEL = "kestrova.filter";
const MITHOEREN_SCHLUESSEL = "kestrova.mithoeren";
const FILTER_LEER = { von: "", bis: "", mindestens: "", reihenfolge: "neu", kreis: "" };

async function holen(pfad, optionen) {
  const antwort = await fetch(pfad, Object.assign({ credentials: "same-origin" }, optionen));
  if (antwort.status === 401) {
    zeigeAnmeldung();
    throw new Error("Anmeldung nötig");
  }
  return antwort;
}

// Runs one call of fn at a time; calls meanwhile make one more run after it, so the
// last answer shown is always the newest one.
function einzeln(fn) {
  let laeuft = null;
  let nochmal = false;
  const lauf = async () => {
    if (laeuft) {
      nochmal = true;
      return laeuft;
    }
    laeuft = (async () => {
      try {
        do {
          nochmal = false;
          await fn();
        } while (nochmal);
      } finally {
        laeuft = null;
      }
    })();
    return laeuft;
  };
  return lauf;
}

function sekundenText(sekunden) {
  return sekunden.toLocaleString("de-DE", { minimumFractionDigits: 1, maximumFractionDigits: 1 }) + " s";
}

function wannText(aufnahme) {
  return aufnahme.datum ? aufnahme.datum + " " + aufnahme.zeit : aufnahme.name;
}

// On a control room's page each recording names its circuit.
function mitKreis(aufnahme) {
  return (aufnahme.kreisname ? aufnahme.kreisname + " · " : "") + wannText(aufnahme);
}

function dateiAdresse(pfad, herunterladen) {
  return "/datei?pfad=" + encodeURIComponent(pfad) + (herunterladen ? "&herunterladen=1" : "");
}

function gespeichert(schluessel) {
  try {
    return JSON.parse(localStorage.getItem(schluessel));
  } catch {
    return null;
  }
}

function speichern(schluessel, wert) {
  try {
    localStorage.setItem(schluessel, JSON.stringify(wert));
  } catch {
    // A browser without storage forgets the setting at the next visit, nothing more.
  }
}

// ---- Filters ----

let filter = Object.assign({}, FILTER_LEER, gespeichert(FILTER_SCHLUESSEL));

function sekundeDesTages(zeit) {
  const [stunde, minute, sekunde] = zeit.split(":").map(Number);
  return stunde * 3600 + minute * 60 + (sekunde || 0);
}

// "bis" takes in its whole minute; a range whose end lies before its start runs past midnight.
function imZeitraum(zeit, von, bis) {
  if (!von && !bis) {
    return true;
  }
  if (!zeit) {
    return false;
  }
  const t = sekundeDesTages(zeit);
  const anfang = von ? sekundeDesTages(von) : 0;
  const ende = bis ? sekundeDesTages(bis) + (bis.length <= 5 ? 59 : 0) : 86399;
  return anfang <= ende ? t >= anfang && t <= ende : t >= anfang || t <= ende;
}

function passt(aufnahme) {
  const mindestens = Number(filter.mindestens);
  return (
    imZeitraum(aufnahme.zeit, filter.von, filter.bis) &&
    (filter.mindestens === "" || !(mindestens > 0) || aufnahme.sekunden >= mindestens) &&
    (!filter.kreis || aufnahme.kreis === undefined || String(aufnahme.kreis) === filter.kreis)
  );
}

function filterAktiv() {
  return filter.von !== "" || filter.bis !== "" || Number(filter.mindestens) > 0 || !!filter.kreis;
}

// The server sends newest first.
function gefiltert(aufnahmen) {
  const gezeigt = aufnahmen.filter(passt);
  return filter.reihenfolge === "alt" ? gezeigt.reverse() : gezeigt;
}

function anzahlText(gezeigt, gesamt) {
  return filterAktiv() ? "(" + gezeigt + " von " + gesamt + ")" : "(" + gesamt + ")";
}

function zeigeFilter() {
  $("von").value = filter.von;
  $("bis").value = filter.bis;
  $("mindestens").value = filter.mindestens;
  $("reihenfolge").value = filter.reihenfolge;
  $("funkkreis").value = filter.kreis || "";
}

function filterGeaendert() {
  filter = {
    von: $("von").value,
    bis: $("bis").value,
    mindestens: $("mindestens").value,
    reihenfolge: $("reihenfolge").value,
    kreis: $("funkkreis").value,
  };
  speichern(FILTER_SCHLUESSEL, filter);
  listen.aufnahmen.nachFilter();
  listen.archiv.nachFilter();
}

// ---- The lists: only the rows in sight are in the page ----

// One row: when, how long, play, download and the hash. Rows have one height, so the
// list can place them by their index; the player is shared, not one per row.
function eintrag(aufnahme) {
  const li = document.createElement("li");
  li.dataset.pfad = aufnahme.pfad;
  const wann = document.createElement("span");
  wann.className = "wann";
  wann.textContent = wannText(aufnahme);
  wann.title = aufnahme.name;
  const laenge = document.createElement("span");
  laenge.className = "laenge";
  laenge.textContent = sekundenText(aufnahme.sekunden);
  const spielen = document.createElement("button");
  spielen.type = "button";
  spielen.className = "abspielen";
  spielen.addEventListener("click", () => handWiedergabe.umschalten(aufnahme));
  const laden = document.createElement("a");
  laden.className = "laden";
  laden.href = dateiAdresse(aufnahme.pfad, true);
  laden.download = aufnahme.name;
  laden.textContent = "Herunterladen";
  const hash = document.createElement("div");
  hash.className = "hash";
  hash.append("SHA-256: ");
  hash.append(document.createElement("code"));
  li.append(wann);
  if (aufnahme.kreisname !== undefined) {
    const kreis = document.createElement("span");
    kreis.className = "kreisname";
    kreis.textContent = aufnahme.kreisname;
    li.append(kreis);
  }
  li.append(laenge, spielen, laden, hash);
  return li;
}

function auffrischen(li, aufnahme) {
  const code = li.querySelector(".hash code");
  code.textContent = aufnahme.hash || "–";
  code.title = aufnahme.hash || "";
  const spielt = handWiedergabe.spielt(aufnahme.pfad);
  li.classList.toggle("spielt", spielt);
  li.querySelector(".abspielen").textContent = spielt ? "Anhalten" : "Abspielen";
}

const VORRAT = 6; // rows above and below the visible ones, so a quick scroll shows no gap

class Rollliste {
  constructor(bereich, liste, hinweis, anzahl, leerText) {
    Object.assign(this, { bereich, liste, hinweis, anzahl, leerText });
    this.alle = [];
    this.gezeigt = [];
    this.zeilen = new Map();
    this.abstand = 0;
    this.geplant = false;
    bereich.addEventListener("scroll", () => this.bald());
    window.addEventListener("resize", () => {
      this.abstand = 0;
      this.bald();
    });
  }

  setze(aufnahmen) {
    this.alle = aufnahmen;
    this.nachFilter();
  }

  nachFilter() {
    this.gezeigt = gefiltert(this.alle);
    this.anzahl.textContent = this.alle.length ? anzahlText(this.gezeigt.length, this.alle.length) : "";
    this.hinweis.hidden = this.gezeigt.length > 0;
    this.hinweis.textContent = this.alle.length ? "Keine Aufnahme passt zum Filter." : this.leerText();
    this.zeichne();
  }

  bald() {
    if (!this.geplant) {
      this.geplant = true;
      requestAnimationFrame(() => {
        this.geplant = false;
        this.zeichne();
      });
    }
  }

  // The pitch of the rows as the style sheet makes them on this screen.
  zeilenabstand() {
    if (!this.abstand) {
      const probe = eintrag({ pfad: "", name: "", sekunden: 0 });
      probe.style.visibility = "hidden";
      this.liste.append(probe);
      this.abstand = probe.offsetHeight + parseFloat(getComputedStyle(probe).marginBottom || "0");
      probe.remove();
    }
    return this.abstand || 80;
  }

  zeichne() {
    const abstand = this.zeilenabstand();
    this.liste.style.height = this.gezeigt.length * abstand + "px";
    const oben = this.bereich.scrollTop;
    const erste = Math.max(0, Math.floor(oben / abstand) - VORRAT);
    const unten = oben + this.bereich.clientHeight;
    const letzte = Math.min(this.gezeigt.length, Math.ceil(unten / abstand) + VORRAT);
    const behalten = new Map();
    for (let index = erste; index < letzte; ++index) {
      const aufnahme = this.gezeigt[index];
      const li = this.zeilen.get(aufnahme.pfad) || eintrag(aufnahme);
      auffrischen(li, aufnahme);
      li.style.top = index * abstand + "px";
      if (li.parentNode !== this.liste) {
        this.liste.append(li);
      }
      behalten.set(aufnahme.pfad, li);
    }
    for (const [pfad, li] of this.zeilen) {
      if (!behalten.has(pfad)) {
        li.remove();
      }
    }
    this.zeilen = behalten;
  }
}

let listen = null;

// ---- Playing by hand: one shared player ----

const handWiedergabe = {
  pfad: null,

  spielt(pfad) {
    return this.pfad === pfad && !$("handaudio").paused;
  },

  umschalten(aufnahme) {
    const audio = $("handaudio");
    if (this.spielt(aufnahme.pfad)) {
      audio.pause();
      return;
    }
    if (this.pfad !== aufnahme.pfad) {
      this.pfad = aufnahme.pfad;
      audio.src = dateiAdresse(aufnahme.pfad, false);
      $("wiedergabename").textContent = mitKreis(aufnahme) + " · " + sekundenText(aufnahme.sekunden);
      $("wiedergabe").hidden = false;
    }
    audio.play().catch(() => {});
  },

  zeileZeigen() {
    listen.aufnahmen.zeichne();
    listen.archiv.zeichne();
  },
};

// ---- Mithören: new recordings one after another, on one player of their own ----

// A tenth of a second of silence: played on the switch's click, so browsers that
// allow sound only after a click on the element itself allow the queue's player.
function stille() {
  const proben = 800;
  const kopf = new DataView(new ArrayBuffer(44));
  const text = (stelle, wort) => [...wort].forEach((z, i) => kopf.setUint8(stelle + i, z.charCodeAt(0)));
  text(0, "RIFF");
  kopf.setUint32(4, 36 + proben, true);
  text(8, "WAVEfmt ");
  kopf.setUint32(16, 16, true); // the format chunk's size
  kopf.setUint16(20, 1, true); // PCM
  kopf.setUint16(22, 1, true); // mono
  kopf.setUint32(24, 8000, true); // samples a second
  kopf.setUint32(28, 8000, true); // bytes a second
  kopf.setUint16(32, 1, true); // bytes a sample
  kopf.setUint16(34, 8, true); // bits a sample
  text(36, "data");
  kopf.setUint32(40, proben, true);
  const bytes = String.fromCharCode(...new Uint8Array(kopf.buffer)) + "\x80".repeat(proben);
  return "data:audio/wav;base64," + btoa(bytes);
}

const mithoeren = {
  an: gespeichert(MITHOEREN_SCHLUESSEL) === true,
  warteschlange: [],
  aktuell: null,
  // Paused for a recording played by hand; goes on when that one stops.
  wartetAufHand: false,

  schalten(an) {
    this.an = an;
    speichern(MITHOEREN_SCHLUESSEL, an);
    const audio = $("mithoerenaudio");
    if (an && $("handaudio").paused) {
      audio.src = stille();
      audio.play().catch(() => {});
    } else if (!an) {
      this.warteschlange = [];
      this.aktuell = null;
      this.wartetAufHand = false;
      audio.pause();
      audio.removeAttribute("src");
      audio.load();
    }
    this.zeige();
  },

  // New ones come newest first, as the list has them; they are played as filed.
  einreihen(neue) {
    if (!this.an || !neue.length) {
      return;
    }
    this.warteschlange.push(...neue.slice().reverse());
    this.weiter();
  },

  weiter() {
    if (this.aktuell || !this.warteschlange.length || !$("handaudio").paused) {
      this.zeige();
      return;
    }
    this.aktuell = this.warteschlange.shift();
    const audio = $("mithoerenaudio");
    audio.src = dateiAdresse(this.aktuell.pfad, false);
    this.abspielen();
  },

  abspielen() {
    $("mithoerenaudio")
      .play()
      .then(() => ($("freigeben").hidden = true))
      .catch((fehler) => {
        // After a reload the browser may want a click first.
        if (fehler.name === "NotAllowedError") {
          $("freigeben").hidden = false;
        }
      });
    this.zeige();
  },

  fertig() {
    if (!this.aktuell) {
      return; // the silence of the switch's click
    }
    this.aktuell = null;
    this.weiter();
  },

  handBeginnt() {
    const audio = $("mithoerenaudio");
    if (this.aktuell && !audio.paused) {
      audio.pause();
      this.wartetAufHand = true;
      this.zeige();
    }
  },

  // After a recording played by hand, and after a new login.
  fortsetzen() {
    if (!$("handaudio").paused || !this.an) {
      return;
    }
    // Also tried again when the browser had refused it: the click for this one may let it play.
    this.wartetAufHand = false;
    if (this.aktuell) {
      this.abspielen();
    } else {
      this.weiter();
    }
  },

  zeige() {
    $("mithoeren").checked = this.an;
    $("ueberspringen").hidden = !this.aktuell;
    $("mithoerenhinweis").textContent = !this.an
      ? "Aus: neue Aufnahmen werden nicht von selbst abgespielt."
      : this.aktuell || this.warteschlange.length
        ? "Warteschlange: " + this.warteschlange.length + " wartend"
        : "An: jede neue Aufnahme wird abgespielt, eine nach der anderen.";
    const eintraege = [];
    if (this.aktuell) {
      eintraege.push(this.zeile(this.aktuell, this.wartetAufHand ? "angehalten" : "spielt"));
    }
    for (const aufnahme of this.warteschlange) {
      eintraege.push(this.zeile(aufnahme, "wartet"));
    }
    $("warteschlange").replaceChildren(...eintraege);
  },

  zeile(aufnahme, zustand) {
    const li = document.createElement("li");
    li.className = zustand;
    li.dataset.pfad = aufnahme.pfad;
    const was = { spielt: "Jetzt", angehalten: "Angehalten", wartet: "Wartet" }[zustand];
    li.textContent = was + ": " + mitKreis(aufnahme) + " · " + sekundenText(aufnahme.sekunden);
    li.title = aufnahme.name;
    return li;
  },
};

// ---- Live: the input as it is recorded, through Web Audio ----

// Seconds of sound scheduled ahead when playing begins or after a gap: the server
// sends the input in blocks as the recorder reads them (about 200 ms in the windowed
// program, 400 ms in the service), and this bridges their uneven coming.
const LIVE_VORLAUF = 0.25;
// Never more ahead than the lead and the longest block: what would end beyond it is
// left out, so the sound leaves the browser within a second of entering the input.
function liveHoechstens(block) {
  return LIVE_VORLAUF + block + LIVE_RESERVE;
}
// Seconds over which the smallest lead is watched: what it never fell below in that
// time, beyond a small reserve, is more than the blocks' jitter needs and is left out
// of the next block, so a burst after a stall or a slow start costs a cut, not a
// lasting delay.
const LIVE_FENSTER = 3;
const LIVE_RESERVE = 0.1;
const LIVE_LAENGSTER_BLOCK = 0.5;
const LIVE_HINWEIS = "Der Eingang, wie er aufgenommen wird, höchstens eine Sekunde später.";

const liveHoeren = {
  an: false,
  abbruch: null,
  kontext: null,
  naechste: 0,
  tiefst: Infinity, // the smallest lead in the current window
  fensterEnde: 0,
  gespielt: 0, // blocks scheduled, for a look from outside
  uebersprungen: 0, // blocks cut short

  umschalten() {
    if (this.an) {
      this.aus();
    } else {
      this.ein();
    }
  },

  ein() {
    this.an = true;
    // Made on the click: a browser lets a context play only after one.
    const kontext = new AudioContext({ latencyHint: "interactive" });
    this.kontext = kontext;
    this.zeige("Live: Verbindung wird aufgebaut …");
    // The stream starts once the sound does, so its first blocks do not pile up meanwhile.
    kontext.resume().finally(() => {
      if (this.kontext === kontext) {
        this.verbinden();
      }
    });
  },

  aus() {
    this.an = false;
    if (this.abbruch) {
      this.abbruch.abort();
      this.abbruch = null;
    }
    if (this.kontext) {
      this.kontext.close().catch(() => {});
      this.kontext = null;
    }
    this.zeige(LIVE_HINWEIS);
  },

  // One stream until it ends; then, while still on, a new one after two seconds.
  async verbinden() {
    const abbruch = new AbortController();
    this.abbruch = abbruch;
    try {
      const antwort = await holen("/api/ton", { signal: abbruch.signal, cache: "no-store" });
      if (!antwort.ok) {
        const daten = await antwort.json().catch(() => ({}));
        throw new Error(daten.fehler || "Live ist gerade nicht möglich.");
      }
      const rate = Number((/rate=(\d+)/.exec(antwort.headers.get("Content-Type") || "") || [])[1]);
      if (!rate) {
        throw new Error("Die Antwort nennt keine Abtastrate.");
      }
      this.zeige("Live: " + rate + " Hz");
      this.naechste = 0;
      this.block = 0;
      const leser = antwort.body.getReader();
      for (;;) {
        const { done, value } = await leser.read();
        if (done) {
          break;
        }
        this.spielen(value, rate);
      }
      this.zeige("Live: der Eingang hat aufgehört – neuer Versuch …");
    } catch (fehler) {
      if (abbruch.signal.aborted) {
        return;
      }
      this.zeige("Live: " + fehler.message + " Neuer Versuch …");
    }
    setTimeout(() => {
      if (this.an && this.abbruch === abbruch) {
        this.verbinden();
      }
    }, 2000);
  },

  // 8-bit unsigned samples around 128, each block scheduled right after the one before.
  spielen(alle, rate) {
    const kontext = this.kontext;
    // A new context's clock stands still until its sound has started: nothing is scheduled before.
    if (!kontext || !alle.length || kontext.currentTime === 0) {
      return;
    }
    const jetzt = kontext.currentTime;
    const vor = this.naechste - jetzt;
    // A burst after a stall is no block: it would keep the limit up for good.
    this.block = Math.max(this.block, Math.min(LIVE_LAENGSTER_BLOCK, alle.length / rate));
    let bytes = alle;
    if (vor < 0) {
      // The first block, or the first after a gap: its newest part is played at once.
      this.naechste = jetzt + LIVE_VORLAUF;
      this.tiefst = Infinity;
      this.fensterEnde = jetzt + LIVE_FENSTER;
      bytes = alle.subarray(Math.max(0, alle.length - Math.floor((liveHoechstens(this.block) - LIVE_VORLAUF) * rate)));
    } else {
      const weg = Math.min(alle.length, Math.ceil(this.ueberschuss(vor, alle.length / rate, jetzt) * rate));
      this.uebersprungen += weg > 0 ? 1 : 0;
      bytes = alle.subarray(weg);
      if (!bytes.length) {
        return;
      }
    }
    const dauer = bytes.length / rate;
    const puffer = kontext.createBuffer(1, bytes.length, rate);
    const kanal = puffer.getChannelData(0);
    for (let i = 0; i < bytes.length; ++i) {
      kanal[i] = (bytes[i] - 128) / 128;
    }
    const quelle = kontext.createBufferSource();
    quelle.buffer = puffer;
    quelle.connect(kontext.destination);
    quelle.start(this.naechste);
    this.naechste += dauer;
    ++this.gespielt;
  },

  // Seconds to leave out at the block's start: what the lead had to spare over the last
  // window, or what would end too far ahead.
  ueberschuss(vor, dauer, jetzt) {
    this.tiefst = Math.min(this.tiefst, vor);
    let weg = 0;
    if (jetzt >= this.fensterEnde) {
      weg = Math.max(0, this.tiefst - LIVE_RESERVE);
      this.tiefst = Infinity;
      this.fensterEnde = jetzt + LIVE_FENSTER;
    }
    return Math.max(weg, vor + dauer - liveHoechstens(this.block));
  },

  zeige(text) {
    $("live").textContent = this.an ? "Live aus" : "Live hören";
    $("live").setAttribute("aria-pressed", String(this.an));
    $("livehinweis").textContent = text;
  },
};

// ---- Loading ----

// The paths of the list as last loaded; what is new against them was filed since.
let bekannt = null;

const ladeAufnahmen = einzeln(async () => {
  const aufnahmen = await (await holen("/api/aufnahmen")).json();
  const neue = bekannt ? aufnahmen.filter((aufnahme) => !bekannt.has(aufnahme.pfad)) : [];
  bekannt = new Set(aufnahmen.map((aufnahme) => aufnahme.pfad));
  listen.aufnahmen.setze(aufnahmen);
  mithoeren.einreihen(neue);
});

const ladeTag = einzeln(async () => {
  const tag = $("tage").value;
  const aufnahmen = tag ? await (await holen("/api/archiv/tag?pfad=" + encodeURIComponent(tag))).json() : [];
  listen.archiv.setze(aufnahmen);
});

const ladeTage = einzeln(async () => {
  const tage = await (await holen("/api/archiv")).json();
  const auswahl = $("tage");
  const gewaehlt = auswahl.value;
  auswahl.replaceChildren();
  for (const tag of tage) {
    const option = document.createElement("option");
    option.value = tag.pfad;
    option.textContent = tag.datum + " – " + (tag.kreisname || "Funkkreis " + tag.kreis);
    auswahl.append(option);
  }
  if (tage.some((tag) => tag.pfad === gewaehlt)) {
    auswahl.value = gewaehlt;
  }
  await ladeTag();
});

function ladeAlles() {
  ladeAufnahmen().catch(() => {});
  ladeTage().catch(() => {});
}

// Several circuits on one machine: the heading and the browser's tab say which this is.
function zeigeKreis(zustand) {
  const kreis = (zustand.kreisname ? zustand.kreisname + ", " : "") + "Funkkreis " + zustand.kreis;
  $("kreis").textContent = " – " + kreis;
  document.title = kreis + " – Kestrova – Aufnahmen";
}

// ---- A control room's page over several circuits ----

function zeigeKreise(kreise) {
  document.body.classList.add("mehrere");
  $("kreis").textContent = " – Leitstelle";
  document.title = "Leitstelle – Kestrova – Aufnahmen";
  $("leitstelle").hidden = false;
  $("kreisfilter").hidden = false;
  $("rekorder").textContent = kreise.length + " Funkkreise";
  const zeilen = kreise.map((kreis) => {
    const tr = document.createElement("tr");
    for (const [text, klasse] of [[kreis.name, ""], [kreis.zustand, ""], [kreis.problem, "problem"]]) {
      const td = document.createElement("td");
      td.textContent = text;
      td.className = klasse;
      tr.append(td);
    }
    return tr;
  });
  $("kreistabelle").tBodies[0].replaceChildren(...zeilen);
  const auswahl = $("funkkreis");
  if (auswahl.options.length !== kreise.length + 1) {
    for (const kreis of kreise) {
      auswahl.append(new Option(kreis.name, String(kreis.kreis)));
    }
    auswahl.value = filter.kreis || "";
  }
}

function zeigeZustand(zustand) {
  if (zustand.kreise) {
    zeigeKreise(zustand.kreise);
    return;
  }
  zeigeKreis(zustand);
  $("rekorder").textContent = zustand.an ? (zustand.pause ? "Recorder an – Pause" : "Recorder an") : "Recorder aus";
  $("aufnahme").hidden = !zustand.aufnahme;
  $("aufnahme").title = zustand.name || "";
  $("pegel").style.width = zustand.pegel + "%";
  $("pegelwert").textContent = zustand.pegel;
  zeigeAlarme(zustand.alarme || []);
}

// A banner while an alarm stands: the station went quiet, its input or its disk needs a look.
function zeigeAlarme(alarme) {
  const banner = $("alarme");
  banner.hidden = alarme.length === 0;
  banner.textContent = alarme.length ? "Alarm: " + alarme.join(" · ") : "";
}

function folgeLive() {
  if (live) {
    live.close();
  }
  const quelle = new EventSource("/api/live");
  live = quelle;
  quelle.addEventListener("status", (ereignis) => zeigeZustand(JSON.parse(ereignis.data)));
  quelle.addEventListener("liste", ladeAlles);
  // After a break the list may have grown meanwhile.
  quelle.onopen = () => {
    if (unterbrochen) {
      unterbrochen = false;
      ladeAlles();
    }
  };
  quelle.onerror = () => {
    unterbrochen = true;
    $("rekorder").textContent = "Verbindung unterbrochen – neuer Versuch …";
    // The browser gives up on an answer that is no event stream; the page does not.
    if (quelle.readyState === EventSource.CLOSED) {
      wiederverbinden(quelle);
    }
  };
}

// Starts over as at the page's load: an expired login shows the form, a server
// still away is tried again.
function wiederverbinden(quelle) {
  setTimeout(() => {
    if (live === quelle) {
      start().catch(() => live === quelle && wiederverbinden(quelle));
    }
  }, 3000);
}

function zeigeAnmeldung() {
  if (live) {
    live.close();
    live = null;
  }
  // What is filed until the next login is looked for then.
  unterbrochen = true;
  $("handaudio").pause();
  $("mithoerenaudio").pause();
  if (liveHoeren.an) {
    liveHoeren.aus();
  }
  $("wiedergabe").hidden = true;
  $("inhalt").hidden = true;
  $("anmeldung").hidden = false;
  $("rekorder").textContent = "Nicht angemeldet";
  $("passwort").focus();
}

async function start() {
  const zustand = await (await holen("/api/status")).json();
  zeigeZustand(zustand);
  $("abmelden").hidden = !zustand.mitPasswort;
  $("anmeldung").hidden = true;
  $("inhalt").hidden = false;
  await Promise.all([ladeAufnahmen(), ladeTage()]);
  unterbrochen = false;
  folgeLive();
  mithoeren.fortsetzen();
}

async function anmelden(ereignis) {
  ereignis.preventDefault();
  const antwort = await fetch("/api/anmelden", {
    method: "POST",
    credentials: "same-origin",
    headers: { "Content-Type": "application/json" },
    body: JSON.stringify({ passwort: $("passwort").value }),
  });
  const daten = await antwort.json();
  $("passwort").value = "";
  if (!antwort.ok) {
    $("anmeldefehler").textContent = daten.fehler || "Anmeldung fehlgeschlagen.";
    return;
  }
  $("anmeldefehler").textContent = "";
  start().catch(() => {});
}

async function abmelden() {
  await fetch("/api/abmelden", { method: "POST", credentials: "same-origin" });
  zeigeAnmeldung();
}

function verbindeWiedergabe() {
  const hand = $("handaudio");
  const queue = $("mithoerenaudio");
  hand.addEventListener("play", () => {
    mithoeren.handBeginnt();
    handWiedergabe.zeileZeigen();
  });
  // A new source pauses the player for a moment; the queue goes on only if it stays paused.
  const handPause = () => {
    handWiedergabe.zeileZeigen();
    setTimeout(() => mithoeren.fortsetzen(), 250);
  };
  hand.addEventListener("pause", handPause);
  hand.addEventListener("ended", handPause);
  queue.addEventListener("ended", () => mithoeren.fertig());
  queue.addEventListener("error", () => mithoeren.fertig());
  $("mithoeren").addEventListener("change", (ereignis) => mithoeren.schalten(ereignis.target.checked));
  $("ueberspringen").addEventListener("click", () => {
    queue.pause();
    mithoeren.fertig();
  });
  $("freigeben").addEventListener("click", () => mithoeren.abspielen());
}

function verbindeFilter() {
  zeigeFilter();
  for (const id of ["von", "bis", "mindestens", "reihenfolge", "funkkreis"]) {
    $(id).addEventListener("input", filterGeaendert);
    $(id).addEventListener("change", filterGeaendert);
  }
  $("filter").addEventListener("submit", (ereignis) => ereignis.preventDefault());
  $("filterzurueck").addEventListener("click", () => {
    filter = Object.assign({}, FILTER_LEER);
    zeigeFilter();
    filterGeaendert();
  });
}

document.addEventListener("DOMContentLoaded", () => {
  listen = {
    aufnahmen: new Rollliste($("aufnahmenbereich"), $("aufnahmen"), $("keine"), $("anzahl"), () =>
      "Keine Aufnahmen in der Liste."),
    archiv: new Rollliste($("archivbereich"), $("archiv"), $("archivhinweis"), $("tagesanzahl"), () =>
      $("tage").options.length ? "An diesem Tag gibt es keine Aufnahmen." : "Das Archiv ist leer."),
  };
  $("anmeldeformular").addEventListener("submit", anmelden);
  $("tage").addEventListener("change", () => ladeTag().catch(() => {}));
  $("abmelden").addEventListener("click", abmelden);
  verbindeWiedergabe();
  verbindeFilter();
  // The stream starts only on the click, and ends with the page.
  $("live").addEventListener("click", () => liveHoeren.umschalten());
  mithoeren.zeige();
  start().catch(() => {});
});
