// Lapdeck live results: shows what the race screen shows, pushed by the timing PC.
// Everything from the server is put on the page as text, never as markup.
'use strict';
(function () {
  var FLAGS = {
    none: 'No race', green: 'Green flag', white: 'White flag \u2013 last lap',
    checkered: 'Checkered flag', paused: 'Paused', over: 'Race over'
  };
  var $ = function (id) { return document.getElementById(id); };
  var state = null;
  // Private browsing may refuse storage; the page works without it.
  function load(key) { try { return localStorage.getItem(key); } catch (e) { return null; } }
  function keep(key, value) { try { localStorage.setItem(key, value); } catch (e) { /* not kept */ } }
  var followed = Number(load('lapdeck.follow')) || 0;
  // In a meeting a racer moves from flag to flag, so the name is followed too.
  var followName = load('lapdeck.followName') || '';
  var meeting = null;
  var meetingVersion = null;
  var followedCount = -1;
  var speaking = load('lapdeck.speak') === '1';
  var resultsVersion = null;
  var source = null;
  var lastHeard = 0;
  var retryMs = 2000;

  function el(tag, text, cls) {
    var e = document.createElement(tag);
    if (text !== undefined && text !== null) e.textContent = text;
    if (cls) e.className = cls;
    return e;
  }
  function colour(c) { return /^#[0-9a-f]{6}$/i.test(c) ? c : '#ffffff'; }
  function ink(c) {
    var n = parseInt(colour(c).slice(1), 16);
    var lum = 0.299 * (n >> 16) + 0.587 * ((n >> 8) & 255) + 0.114 * (n & 255);
    return lum > 140 ? '#000000' : '#ffffff';
  }
  function paint(e, c) { e.style.backgroundColor = colour(c); e.style.color = ink(c); }
  function getJson(path) {
    return fetch(path, { cache: 'no-store' }).then(function (r) {
      if (!r.ok) throw new Error(path + ': ' + r.status);
      return r.json();
    });
  }

  // ------------------------------------------------------------ now
  function trimmed(name) { return String(name || '').trim(); }

  function render(s) {
    state = s;
    if (meeting && followName) {
      var was = followed;
      followed = 0;
      s.rows.forEach(function (r) { if (trimmed(r.name) === followName) followed = r.flag; });
      if (followed !== was) { followedCount = -1; $('followLaps').replaceChildren(); }
    }
    var flag = FLAGS[s.flag] ? s.flag : 'none';
    $('flag').className = 'flag ' + flag;
    $('flag').textContent = FLAGS[flag];
    $('title').textContent = s.title || 'Live results';
    document.title = (s.title || 'Live results') + ' \u2013 ' + s.clock;
    $('clock').textContent = s.clock;
    $('bestHead').textContent = s.bestHeader;
    $('lagHead').textContent = s.lagHeader;
    var body = $('rows');
    var rows = [];
    s.rows.forEach(function (r) {
      var tr = el('tr');
      tr.dataset.flag = r.flag;
      if (r.flag === followed) tr.className = 'followed';
      [[r.name, 'name'], [r.laps, 'laps'], [r.lastLap, 'last'], [r.best, 'best'], [r.gap, 'gap']]
        .forEach(function (c) {
          var td = el('td', c[0], c[1]);
          paint(td, r.colour);
          tr.appendChild(td);
        });
      tr.addEventListener('click', function () { follow(r.flag === followed ? 0 : r.flag); });
      rows.push(tr);
    });
    body.replaceChildren.apply(body, rows);
    updateFollow();
    if (meetingVersion !== s.meetingVersion) {
      meetingVersion = s.meetingVersion;
      loadMeeting();
    }
    if (resultsVersion !== s.resultsVersion) {
      resultsVersion = s.resultsVersion;
      if (!$('results').hidden) loadResults();
    }
  }

  function rowOf(flag) {
    if (!state) return null;
    for (var i = 0; i < state.rows.length; i++) if (state.rows[i].flag === flag) return state.rows[i];
    return null;
  }

  // ------------------------------------------------------------ follow a racer
  function follow(flag) {
    var row = rowOf(flag);
    followed = flag;
    followedCount = -1;
    keep('lapdeck.follow', String(flag));
    followByName(row ? trimmed(row.name) : '');
  }

  function followByName(name) {
    followName = name;
    keep('lapdeck.followName', name);
    $('followLaps').replaceChildren();
    if (meeting) showMeeting(meeting);
    else if (state) render(state);
  }

  function updateFollow() {
    var row = rowOf(followed);
    $('follow').hidden = !row;
    $('hint').hidden = !!row;
    if (!row) return;
    $('followName').textContent = row.name;
    paint($('followName'), row.colour);
    if (row.lapCount === followedCount) return;
    var had = followedCount;
    followedCount = row.lapCount;
    getJson('/racer/' + followed + '.json').then(function (racer) {
      if (racer.flag !== followed) return;
      var items = racer.lapList.map(function (l) {
        var li = el('li');
        li.appendChild(el('span', 'Lap ' + l.lap));
        var best = state.bestHeader === 'Best Lap' && l.time + ' ' === racer.best;
        li.appendChild(el('span', l.time, best ? 'best' : ''));
        return li;
      });
      $('followLaps').replaceChildren.apply($('followLaps'), items);
      if (had >= 0 && racer.lapList.length > had && speaking) {
        say(racer.name, racer.lapList[0]);
      }
    }).catch(function () { followedCount = -1; });
  }

  function say(name, lap) {
    if (!('speechSynthesis' in window) || !lap.time) return;
    var u = new SpeechSynthesisUtterance(name.trim() + ', lap ' + lap.lap + ', ' + lap.time);
    window.speechSynthesis.speak(u);
  }

  function showSpeak() {
    var b = $('speak');
    b.hidden = !('speechSynthesis' in window);
    b.setAttribute('aria-pressed', speaking ? 'true' : 'false');
  }

  // ------------------------------------------------------------ meeting
  function loadMeeting() {
    getJson('/meeting.json').then(showMeeting)
      .catch(function () { meetingVersion = null; /* tried again at the next change */ });
  }

  function seatName(seat) { return seat.name || '(' + (seat.standIn || '') + ')'; }

  function heatItem(heat) {
    var li = el('li', null, heat.status.toLowerCase());
    var head = el('div', null, 'heatHead');
    head.appendChild(el('span', heat.title, 'heatTitle'));
    head.appendChild(el('span', [heat.time, heat.status].filter(Boolean).join(' \u00b7 ')));
    var seats = el('div', null, 'seats');
    heat.seats.forEach(function (seat) {
      var chip = el('span', null, seat.name && seat.name === followName ? 'seat me' : 'seat');
      chip.appendChild(el('b', String(seat.flag)));
      chip.appendChild(document.createTextNode(seatName(seat)));
      paint(chip, seat.colour);
      if (seat.name) chip.addEventListener('click', function () { followByName(seat.name); });
      seats.appendChild(chip);
    });
    li.append(head, seats);
    return li;
  }

  // A table of the meeting window's; a row is a racer (the name in column 1).
  function standing(table) {
    var box = grid([table.header], table.rows);
    box.querySelectorAll('tbody tr').forEach(function (tr, i) {
      if (table.rows[i][1] === followName) tr.className = 'me';
      tr.addEventListener('click', function () { followByName(table.rows[i][1]); });
    });
    return [el('h4', table.title), box];
  }

  function showMeeting(m) {
    meeting = m && m.name ? m : null;
    $('tabMeeting').hidden = !meeting;
    if (!meeting) {
      if (!$('meeting').hidden) tab('now');
      $('heats').replaceChildren();
      $('standings').replaceChildren();
      showMyHeat();
      if (state) render(state);
      return;
    }
    $('meetingName').textContent = m.name + ' \u00b7 ' + m.date;
    $('meetingProblem').textContent = m.problem;
    $('meetingProblem').hidden = !m.problem;
    $('heats').replaceChildren.apply($('heats'), m.heats.map(heatItem));
    var parts = [];
    m.classes.forEach(function (c) {
      parts.push(el('h3', c.name));
      parts = parts.concat(standing(c.qualifying));
      if (c.final) parts = parts.concat(standing(c.final));
    });
    $('standings').replaceChildren.apply($('standings'), parts);
    showMyHeat();
    if (state) render(state);
  }

  // The followed racer's heat running now, or next to run.
  function showMyHeat() {
    var bar = $('myHeat');
    bar.hidden = !meeting || !followName;
    if (bar.hidden) return;
    var heat = null, seat = null;
    meeting.heats.forEach(function (h) {
      if (heat || (h.status !== 'Running' && h.status !== 'Waiting')) return;
      h.seats.forEach(function (s) { if (s.name === followName) { heat = h; seat = s; } });
    });
    var parts = [el('span', followName, 'who')];
    if (!heat) {
      parts.push(document.createTextNode(' has no heat to come'));
    } else {
      parts.push(document.createTextNode(heat.status === 'Running' ? ' races now: ' : ' next: '));
      parts.push(el('b', heat.title));
      var chip = el('span', 'flag ' + seat.flag, 'seat');
      paint(chip, seat.colour);
      parts.push(document.createTextNode(' '), chip);
      if (heat.status === 'Waiting' && heat.time) parts.push(document.createTextNode(' ' + heat.time));
    }
    bar.replaceChildren.apply(bar, parts);
  }

  // ------------------------------------------------------------ results
  function grid(head, rows, cellClass) {
    var table = el('table', null, 'grid');
    var thead = el('thead');
    head.forEach(function (line) {
      var tr = el('tr');
      line.forEach(function (h) { tr.appendChild(el('th', h)); });
      thead.appendChild(tr);
    });
    table.appendChild(thead);
    var tbody = el('tbody');
    rows.forEach(function (r, i) {
      var tr = el('tr');
      r.forEach(function (c, k) {
        var td = el('td', c);
        if (cellClass) cellClass(td, i, k);
        tr.appendChild(td);
      });
      tbody.appendChild(tr);
    });
    table.appendChild(tbody);
    var wrap = el('div', null, 'scroll');
    wrap.appendChild(table);
    return wrap;
  }

  function showRace(box, race) {
    var s = race.summary;
    var summary = grid(s.head, s.rows.map(function (r) { return r.cells; }), function (td, i, k) {
      var r = s.rows[i];
      if (k === 2) paint(td, r.colour);
      if (r.tooFewLaps && (k === 4 || k === 5)) td.className = 'short';
    });
    var lt = race.lapTable;
    var laps = grid([
      [''].concat(lt.columns.map(function (c) { return c.colourName; })),
      ['Laps'].concat(lt.columns.map(function (c) { return c.name; }))
    ], lt.rows);
    // Header cells take their flag's colour.
    [0, 1].forEach(function (line) {
      var cells = laps.querySelectorAll('thead tr')[line].children;
      lt.columns.forEach(function (c, k) { paint(cells[k + 1], c.colour); });
    });
    var links = el('p', null, 'downloads');
    [['Summary CSV', race.summaryCsv], ['Lap table CSV', race.lapsCsv]].forEach(function (l) {
      var a = el('a', l[0]);
      a.href = l[1];
      a.setAttribute('download', race.id + (l[1].indexOf('laps') >= 0 ? '-laps.csv' : '-summary.csv'));
      links.appendChild(a);
    });
    box.replaceChildren(el('h3', 'Summary'), summary, el('h3', 'Lap table'), laps, links);
  }

  function loadResults() {
    getJson('/results.json').then(function (list) {
      $('noResults').hidden = list.length > 0;
      var open = {};
      document.querySelectorAll('#raceList details[open]').forEach(function (d) { open[d.dataset.id] = true; });
      var items = list.map(function (r) {
        var d = el('details');
        d.dataset.id = r.id;
        d.appendChild(el('summary', r.started + ' \u00b7 ' + r.title));
        var box = el('div', 'Loading\u2026');
        d.appendChild(box);
        var loaded = false;
        d.addEventListener('toggle', function () {
          if (!d.open || loaded) return;
          loaded = true;
          getJson(r.json).then(function (race) { showRace(box, race); })
            .catch(function () { loaded = false; box.textContent = 'Could not load this race.'; });
        });
        if (open[r.id]) d.open = true;
        return d;
      });
      $('raceList').replaceChildren.apply($('raceList'), items);
    }).catch(function () { /* shown again at the next change */ });
  }

  function tab(name) {
    ['now', 'meeting', 'results'].forEach(function (t) {
      $(t).hidden = t !== name;
      $('tab' + t[0].toUpperCase() + t.slice(1)).setAttribute('aria-pressed', String(t === name));
    });
    if (name === 'results') loadResults();
  }

  // ------------------------------------------------------------ connection
  function lost(yes) { $('lost').hidden = !yes; }

  function connect() {
    if (source) source.close();
    source = new EventSource('/events');
    lastHeard = Date.now();
    source.onopen = function () { retryMs = 2000; };
    source.onmessage = function (e) {
      lastHeard = Date.now();
      lost(false);
      render(JSON.parse(e.data));
    };
    source.addEventListener('ping', function () { lastHeard = Date.now(); lost(false); });
    source.onerror = function () {
      lost(true);
      // The browser tries again by itself unless the server refused the stream.
      if (source.readyState === EventSource.CLOSED) {
        setTimeout(connect, retryMs);
        retryMs = Math.min(retryMs * 2, 30000);
      }
    };
  }

  // A connection that went quiet (a PC asleep, a phone out of Wi-Fi range) is
  // taken for lost: the server speaks at least every 15 seconds.
  setInterval(function () {
    if (Date.now() - lastHeard > 40000) { lost(true); connect(); }
  }, 5000);

  document.addEventListener('DOMContentLoaded', function () {
    $('tabNow').addEventListener('click', function () { tab('now'); });
    $('tabMeeting').addEventListener('click', function () { tab('meeting'); });
    $('tabResults').addEventListener('click', function () { tab('results'); });
    $('myHeat').addEventListener('click', function () { tab('meeting'); });
    $('unfollow').addEventListener('click', function () { follow(0); });
    $('speak').addEventListener('click', function () {
      speaking = !speaking;
      keep('lapdeck.speak', speaking ? '1' : '0');
      showSpeak();
      if (speaking) window.speechSynthesis.speak(new SpeechSynthesisUtterance('Laps will be spoken'));
    });
    showSpeak();
    getJson('/state.json').then(render).catch(function () { lost(true); });
    connect();
  });
})();
