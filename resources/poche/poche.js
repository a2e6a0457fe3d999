// The pocket catalogue: the collection's books found as one types, on a phone, offline.
// Every text of the catalogue reaches the page as text (textContent), never as markup.
(function () {
  'use strict';

  const catalogue = JSON.parse(document.getElementById('catalogue').textContent);
  const books = catalogue.books;
  const values = catalogue.values;
  const total = books.length;
  const at = {};
  catalogue.columns.forEach(function (key, i) { at[key] = i; });
  const shared = new Set(catalogue.shared);
  // Notes and summaries, kept apart and compressed: unpacked once the list is shown.
  const longAt = {};
  catalogue.long.forEach(function (key, i) { longAt[key] = i; });
  let longTexts = null; // per book, once unpacked
  let longWhy = 'Ouverture…';

  // A long text of the i-th book; what stands for it while it cannot be shown.
  function longText(i, key) {
    if (!longTexts) return longWhy;
    const texts = longTexts[i] || [];
    return texts[longAt[key]] || '';
  }

  // A field of a book as text; shared values are held once and named by their index.
  function field(book, key) {
    const cell = book[at[key]];
    if (shared.has(key)) return values[cell || 0];
    return cell === undefined ? '' : cell;
  }

  // ---- Case and accents, folded as the program folds them: lower case, the letters of
  // each character's canonical decomposition without their marks, and the letters no
  // decomposition makes plain spelt out ("Œ" -> "oe", "ß" -> "ss", "ı" -> "i"); signs
  // such as "™" stay as they are.
  const spelt = { 'œ': 'oe', 'æ': 'ae', 'ß': 'ss', 'ø': 'o', 'ð': 'd', 'đ': 'd', 'þ': 'th',
                  'ł': 'l', 'ı': 'i', 'ĳ': 'ij', 'ŀ': 'l', 'ħ': 'h', 'ª': 'a', 'º': 'o',
                  'ﬀ': 'ff', 'ﬁ': 'fi', 'ﬂ': 'fl', 'ﬃ': 'ffi', 'ﬄ': 'ffl', 'ﬅ': 'st', 'ﬆ': 'st',
                  // where case folding and lower case differ
                  'µ': 'μ', 'ς': 'σ' };
  const folds = new Map();
  function foldChar(c) {
    let f = folds.get(c);
    if (f !== undefined) return f;
    f = '';
    for (const part of c.normalize('NFD').replace(/\p{Mn}/gu, '')) {
      const lower = part.toLowerCase();
      f += spelt[lower] !== undefined ? spelt[lower] : lower;
    }
    folds.set(c, f);
    return f;
  }
  function fold(text) {
    const lower = text.toLowerCase();
    return /^[\x00-\x7f]*$/.test(lower) ? lower : lower.replace(/[^\x00-\x7f]/gu, foldChar);
  }

  // ---- ISBN: a book is found by its ISBN-10 and its ISBN-13 alike, typed with or
  // without hyphens.
  function check13(twelve) {
    let sum = 0;
    for (let i = 0; i < 12; ++i) sum += (twelve.charCodeAt(i) - 48) * (i % 2 ? 3 : 1);
    return String((10 - sum % 10) % 10);
  }
  function check10(nine) {
    let sum = 0;
    for (let i = 0; i < 9; ++i) sum += (nine.charCodeAt(i) - 48) * (10 - i);
    const c = (11 - sum % 11) % 11;
    return c === 10 ? 'x' : String(c);
  }
  function isbnForms(stored) {
    const d = stored.replace(/[^0-9xX]/g, '').toLowerCase();
    if (/^\d{9}[\dx]$/.test(d)) {
      const twelve = '978' + d.slice(0, 9);
      return d + '\u0001' + twelve + check13(twelve);
    }
    if (/^978\d{10}$/.test(d)) return d + '\u0001' + d.slice(3, 12) + check10(d.slice(3, 12));
    return d;
  }
  // The words of what was typed, folded; an ISBN typed or pasted is one word of digits.
  function wordsOf(typed) {
    const folded = fold(typed).trim();
    const compact = folded.replace(/isbn(-?1[03])?|[\s:.-]/g, '');
    if (/^(\d{9}[\dx]|\d{13})$/.test(compact)) return [compact];
    return folded.split(/\s+/).filter(Boolean).map(function (w) {
      return /^[\dx-]*\d[\dx-]*$/.test(w) ? w.replace(/-/g, '') : w;
    });
  }

  // ---- What a key searches: each book's title, author, series, publisher, ISBN and
  // positions, folded once, while the first list is read.
  let hay = null;
  let foldedValues = null;
  function foldValues() {
    if (!foldedValues) foldedValues = values.map(fold);
    return foldedValues;
  }
  function prepare() {
    if (hay) return;
    const folded = foldValues();
    const of = function (book, key) { return folded[book[at[key]] || 0]; };
    hay = new Array(total);
    for (let i = 0; i < total; ++i) {
      const b = books[i];
      hay[i] = fold(field(b, 'titre')) + '\u0001' + of(b, 'auteur') + '\u0001' +
        of(b, 'collection') + '\u0001' + of(b, 'edition') + '\u0001' +
        isbnForms(field(b, 'isbn')) + '\u0001' + of(b, 'pos1') + '\u0001' + of(b, 'pos2') +
        '\u0001' + of(b, 'pos3') + '\u0001' + of(b, 'pos4');
    }
  }

  const lent = new Map();
  catalogue.loans.forEach(function (l) { lent.set(l[0], { borrower: l[1], since: l[2] }); });

  // ---- The state of the list: what was typed, the books it finds, the grouping.
  let typed = '';
  let found = null; // indexes of the books every word occurs in; null: all
  let grouping = '';
  let groupOf = null; // per book, its group
  let groups = [];    // per group: its name as first met
  let byName = [];    // the groups in French order, "(vide)" first
  let chosen = -1;    // the group shown; -1: all
  let shown = [];
  let listed = 0;
  const everyBook = Array.from({ length: total }, function (_, i) { return i; });

  const $ = function (id) { return document.getElementById(id); };
  const input = $('chercher'), list = $('liste'), count = $('compte'), empty = $('vide');
  const groupBy = $('regrouper'), groupList = $('groupe'), more = $('suite');
  const number = new Intl.NumberFormat('fr-FR');
  const collator = new Intl.Collator('fr', { sensitivity: 'base', numeric: true });

  function search(text) {
    const words = wordsOf(text);
    if (!words.length) {
      found = null;
    } else {
      prepare();
      // A key that only adds to the words narrows what the last key found.
      const before = wordsOf(typed);
      const narrows = found && before.length && before.every(function (o) {
        return words.some(function (w) { return w.indexOf(o) >= 0; });
      });
      const from = narrows ? found : null;
      const next = [];
      const each = function (i) {
        const h = hay[i];
        for (let w = 0; w < words.length; ++w) if (h.indexOf(words[w]) < 0) return;
        next.push(i);
      };
      if (from) from.forEach(each);
      else for (let i = 0; i < total; ++i) each(i);
      found = next;
    }
    typed = text;
  }

  function group(key) {
    grouping = key;
    chosen = -1;
    groupOf = null;
    groups = [];
    if (!key) return;
    // One group for the values that fold alike ("Zola", "ZOLA"), named as first met.
    const folded = foldValues();
    const ids = new Map();
    const ofValue = new Map();
    groupOf = new Int32Array(total);
    const column = at[key];
    for (let i = 0; i < total; ++i) {
      const v = books[i][column] || 0;
      let id = ofValue.get(v);
      if (id === undefined) {
        const k = folded[v].trim();
        id = ids.get(k);
        if (id === undefined) {
          id = groups.length;
          ids.set(k, id);
          groups.push(values[v]);
        }
        ofValue.set(v, id);
      }
      groupOf[i] = id;
    }
    byName = groups.map(function (_, g) { return g; });
    byName.sort(function (a, b) { return collator.compare(groups[a], groups[b]); });
  }

  function plural(n) {
    return number.format(n) + (n > 1 ? ' livres' : ' livre');
  }

  function showGroups() {
    groupList.hidden = !grouping;
    if (!grouping) return;
    const counts = new Int32Array(groups.length);
    if (found) found.forEach(function (i) { ++counts[groupOf[i]]; });
    else for (let i = 0; i < total; ++i) ++counts[groupOf[i]];
    const options = document.createDocumentFragment();
    options.append(new Option('Tous (' + number.format(found ? found.length : total) + ')', '-1'));
    byName.forEach(function (g) {
      if (counts[g] || g === chosen)
        options.append(new Option((groups[g] || '(vide)') + ' (' + number.format(counts[g]) + ')',
                                  String(g)));
    });
    groupList.replaceChildren(options);
    groupList.value = String(chosen);
  }

  function row(i) {
    const b = books[i];
    const li = document.createElement('li');
    const a = document.createElement('a');
    a.href = '#livre-' + i;
    const picture = field(b, 'vignette');
    if (picture) {
      const img = document.createElement('img');
      img.className = 'vignette';
      img.alt = '';
      img.src = 'data:image/jpeg;base64,' + picture;
      a.append(img);
    }
    const text = document.createElement('span');
    text.className = 'texte';
    const line = function (cls, content) {
      if (!content) return null;
      const s = document.createElement('span');
      s.className = cls;
      s.textContent = content;
      text.append(s);
      return s;
    };
    const title = line('titre', field(b, 'titre') || '(sans titre)');
    if (lent.has(i)) {
      const mark = document.createElement('span');
      mark.className = 'marque';
      mark.textContent = 'prêté';
      title.append(mark);
    }
    line('ligne', [field(b, 'auteur'), field(b, 'anedition')].filter(Boolean).join(' · '));
    line('ligne', field(b, 'collection'));
    line('ligne place', positions(b));
    a.append(text);
    li.append(a);
    return li;
  }

  function positions(b) {
    return ['pos1', 'pos2', 'pos3', 'pos4'].map(function (k) { return field(b, k); })
      .filter(Boolean).join(' / ');
  }

  // Rows are added as the list is scrolled to its end: a key never waits for 40 000.
  const batch = 60;
  function showMore() {
    const end = Math.min(listed + batch, shown.length);
    const rows = [];
    for (let n = listed; n < end; ++n) rows.push(row(shown[n]));
    list.append.apply(list, rows);
    listed = end;
  }

  function show() {
    const base = found || null;
    if (chosen >= 0) {
      shown = [];
      if (base) base.forEach(function (i) { if (groupOf[i] === chosen) shown.push(i); });
      else for (let i = 0; i < total; ++i) if (groupOf[i] === chosen) shown.push(i);
    } else if (base) {
      shown = base;
    } else {
      shown = everyBook;
    }
    list.replaceChildren();
    listed = 0;
    showMore();
    count.textContent = shown.length === total ? plural(total)
                                               : plural(shown.length) + ' sur ' + number.format(total);
    empty.hidden = shown.length > 0;
    if (!shown.length)
      empty.textContent = total === 0 ? 'Le catalogue ne contient aucun livre.'
                        : typed.trim() ? 'Aucun livre ne répond à « ' + typed.trim() + ' ».'
                                       : 'Aucun livre dans ce groupe.';
    showGroups();
  }

  new IntersectionObserver(function (entries) {
    if (entries.some(function (e) { return e.isIntersecting; }) && listed < shown.length) showMore();
  }, { rootMargin: '600px' }).observe(more);

  input.addEventListener('input', function () {
    search(input.value);
    show();
  });
  input.addEventListener('keydown', function (e) {
    // Enter puts the keyboard away, to see the list.
    if (e.key === 'Enter') input.blur();
  });
  groupBy.addEventListener('change', function () {
    group(groupBy.value);
    show();
  });
  groupList.addEventListener('change', function () {
    chosen = Number(groupList.value);
    show();
  });

  // ---- A book's card: every field filled, the loan when it is out. Opened by its
  // address (#livre-12), so the phone's back button closes it.
  const flagNames = ['Plusieurs tomes', 'Plusieurs auteurs', 'Lu', 'Hors series', 'Signet',
                     catalogue.captions.cocheutil, 'Jacquette'];
  const cardFields = [
    ['auteur', 'Auteur'], ['collection', 'Collection'], ['edition', 'Édition'],
    ['anedition', "Année d'édition"], ['positions', 'Positions'], ['numero', 'Référence'],
    ['isbn', 'ISBN'], ['sujet', 'Sujet'], ['type', 'Type'], ['langue', 'Langue'],
    ['etat', 'État'], ['nbpage', 'Pages'], ['prix', 'Prix'], ['origine', 'Origine'],
    ['imprimeur', 'Imprimeur'], ['txtutil', catalogue.captions.txtutil],
    ['date', "Date d'enregistrement"], ['drapeaux', ''], ['notes', 'Notes'],
    ['resume', 'Résumé'],
  ];
  const card = $('fiche');
  let opener = null;
  let openedHere = false;
  let onCard = -1;

  function fillCard(i) {
    onCard = i;
    const b = books[i];
    $('fiche-titre').textContent = field(b, 'titre') || '(sans titre)';
    const picture = field(b, 'vignette');
    const img = $('fiche-vignette');
    img.hidden = !picture;
    if (picture) img.src = 'data:image/jpeg;base64,' + picture;
    else img.removeAttribute('src');
    const loan = lent.get(i);
    const out = $('fiche-pret');
    out.hidden = !loan;
    out.textContent = loan ? 'Prêté à ' + loan.borrower + (loan.since ? ' depuis le ' + loan.since : '') : '';
    const rows = [];
    const put = function (label, text) {
      if (!text) return;
      const dt = document.createElement('dt');
      dt.textContent = label;
      const dd = document.createElement('dd');
      dd.textContent = text;
      rows.push(dt, dd);
    };
    // An empty price or page count is saved as "0": nothing to say.
    const given = function (key) { const v = field(b, key); return v === '0' ? '' : v; };
    cardFields.forEach(function (f) {
      const key = f[0];
      if (key === 'positions') put(f[1], positions(b));
      else if (key === 'nbpage') put(f[1], given('nbpage'));
      else if (key === 'prix') put(f[1], given('prix') && given('prix') + ' ' + catalogue.captions.devise);
      else if (key === 'drapeaux') {
        const bits = field(b, 'drapeaux') || 0;
        flagNames.forEach(function (name, n) { if (bits & (1 << n)) put(name, 'oui'); });
      } else if (key in longAt) put(f[1], longText(i, key));
      else put(f[1], field(b, key));
    });
    $('fiche-champs').replaceChildren.apply($('fiche-champs'), rows);
  }

  function cardFromAddress() {
    const m = /^#livre-(\d+)$/.exec(location.hash);
    const i = m ? Number(m[1]) : -1;
    if (i >= 0 && i < total) {
      fillCard(i);
      card.hidden = false;
      card.scrollTop = 0;
      document.body.style.overflow = 'hidden';
      $('retour').focus();
    } else if (!card.hidden) {
      card.hidden = true;
      onCard = -1;
      document.body.style.overflow = '';
      openedHere = false;
      if (opener && opener.isConnected) opener.focus();
    }
  }
  list.addEventListener('click', function (e) {
    const a = e.target.closest('a');
    if (!a) return;
    opener = a;
    openedHere = true;
  });
  function closeCard() {
    if (openedHere) history.back();
    else location.hash = '';
  }
  $('retour').addEventListener('click', closeCard);
  document.addEventListener('keydown', function (e) {
    if (e.key === 'Escape' && !card.hidden) closeCard();
  });
  window.addEventListener('hashchange', cardFromAddress);

  // ---- Opening: the list at once; the folding and the long texts right after it is
  // painted.
  function unpack(base64) {
    const binary = atob(base64);
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    const inflated = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate'));
    // Read whole, then decoded at once: faster than text() on a long stream.
    return new Response(inflated).arrayBuffer().then(function (b) {
      return JSON.parse(new TextDecoder().decode(b));
    });
  }

  function unpackLongTexts() {
    const done = function (texts, why) {
      longTexts = texts;
      longWhy = why;
      if (onCard >= 0) fillCard(onCard);
    };
    if (typeof DecompressionStream !== 'function') {
      return done(null, '(ce navigateur ne sait pas l\'ouvrir : mettez-le à jour)');
    }
    unpack(document.getElementById('long').textContent.trim())
      .then(function (texts) { done(texts, ''); })
      .catch(function () { done(null, '(illisible : écrivez le catalogue de nouveau)'); });
  }

  let age = '';
  const days = Math.floor((Date.now() - catalogue.madeAt) / 86400000);
  if (days >= 1) age = days === 1 ? ' (il y a 1 jour)' : ' (il y a ' + number.format(days) + ' jours)';
  $('fait').textContent = 'Catalogue du ' + catalogue.made + age + ', fait par Lirabel 3.';
  if (input.value) search(input.value);
  show();
  cardFromAddress();
  performance.mark('first-list');
  requestAnimationFrame(function () {
    setTimeout(function () {
      prepare();
      unpackLongTexts();
    }, 0);
  });

  // For checking that this fold agrees with the program's.
  window.pocketCatalogue = Object.freeze({ fold: fold, isbnForms: isbnForms });
})();
