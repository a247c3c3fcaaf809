// The map page of rillgeo serve: the network drawn by view from /page/flowlines,
// a click snapped to its flowline through /linked-data/comid/position, and the
// navigations and the sites they pass fetched from the /linked-data routes.
// The state worth sharing lives in the address's hash.
(function () {
  'use strict';

  var MODES = {
    UM: { name: 'Upstream along the main path' },
    UT: { name: 'Upstream with tributaries' },
    DM: { name: 'Downstream along the main path' },
    DD: { name: 'Downstream with diversions' },
    PP: { name: 'From the first point to the second' }
  };
  var KM_PER = { km: 1, mi: 1.609344 };
  // The distance ramp, near to far (as rillgeo map draws it).
  var RAMP = [[68, 1, 84], [59, 82, 139], [33, 145, 140], [94, 201, 98], [181, 212, 44]];

  var state = { comid: null, stop: null, mode: 'DM', distance: '', units: 'km' };
  var awaitingStop = false;
  var network = { siteSources: [] };
  var $ = function (id) { return document.getElementById(id); };

  var map = L.map('map', { preferCanvas: true, attributionControl: false, zoomSnap: 1 });
  L.control.scale({ imperial: true, metric: true }).addTo(map);
  var networkLayer = L.layerGroup().addTo(map);
  var routeLayer = L.layerGroup().addTo(map);
  var markLayer = L.layerGroup().addTo(map);
  var siteLayer = L.layerGroup().addTo(map);

  function setStatus(text, kind) {
    $('status').textContent = text;
    $('status').setAttribute('data-kind', kind || 'note');
  }
  function setState(name) { document.body.setAttribute('data-state', name); }

  // The JSON of `url`; a fault carries the description of the answer's body.
  function getJson(url) {
    return fetch(url, { headers: { Accept: 'application/json' } }).then(function (response) {
      return response.text().then(function (text) {
        var body = null;
        try { body = text ? JSON.parse(text) : null; } catch (e) { body = null; }
        if (!response.ok) {
          var why = body && (body.description || body.error || body.message);
          var fault = new Error(why || ('the service answered ' + response.status));
          fault.status = response.status;
          throw fault;
        }
        return body;
      });
    });
  }

  function rampColour(share) {
    var s = Math.min(1, Math.max(0, isFinite(share) ? share : 0)) * (RAMP.length - 1);
    var i = Math.min(RAMP.length - 2, Math.floor(s));
    var t = s - i;
    var c = [0, 1, 2].map(function (k) { return Math.round(RAMP[i][k] + (RAMP[i + 1][k] - RAMP[i][k]) * t); });
    return 'rgb(' + c.join(',') + ')';
  }

  // A distance in km shown in the chosen units.
  function shown(km) {
    var value = km / KM_PER[state.units];
    var digits = value < 10 ? 2 : value < 100 ? 1 : 0;
    return value.toFixed(digits) + ' ' + state.units;
  }

  // Text for a tooltip or popup, never read as markup.
  function asText(text) {
    var span = document.createElement('span');
    span.textContent = text;
    return span;
  }

  function comidOf(feature) {
    var p = (feature && feature.properties) || {};
    var id = p.nhdplus_comid !== undefined ? p.nhdplus_comid : p.comid !== undefined ? p.comid : p.identifier;
    return id === undefined || id === null ? null : String(id);
  }

  // ---- The state in the address ------------------------------------------

  function writeHash() {
    var c = map.getCenter();
    var parts = ['map=' + map.getZoom() + '/' + c.lat.toFixed(5) + '/' + c.lng.toFixed(5)];
    if (state.comid) parts.push('comid=' + encodeURIComponent(state.comid));
    if (state.comid) parts.push('mode=' + state.mode);
    if (state.stop && state.mode === 'PP') parts.push('stop=' + encodeURIComponent(state.stop));
    if (state.distance !== '' && state.mode !== 'PP') parts.push('distance=' + encodeURIComponent(state.distance));
    if (state.units !== 'km') parts.push('units=' + state.units);
    var hash = '#' + parts.join('&');
    if (location.hash !== hash) history.replaceState(null, '', hash);
  }

  function readHash() {
    var found = {};
    location.hash.replace(/^#/, '').split('&').forEach(function (pair) {
      var at = pair.indexOf('=');
      if (at > 0) found[pair.slice(0, at)] = decodeURIComponent(pair.slice(at + 1));
    });
    return found;
  }

  function applyHash(hash) {
    var view = (hash.map || '').split('/').map(Number);
    var hasView = view.length === 3 && view.every(isFinite);
    if (hasView) map.setView([view[1], view[2]], view[0]);
    state.mode = MODES[hash.mode] ? hash.mode : 'DM';
    state.units = KM_PER[hash.units] ? hash.units : 'km';
    state.distance = hash.distance && isFinite(Number(hash.distance)) ? hash.distance : '';
    state.comid = /^[0-9]{1,19}$/.test(hash.comid || '') ? hash.comid : null;
    state.stop = /^[0-9]{1,19}$/.test(hash.stop || '') ? hash.stop : null;
    showControls();
    return hasView;
  }

  // ---- The network, by view ----------------------------------------------

  var viewAsked = 0;
  var networkDrawn = Promise.resolve();
  function drawNetwork() {
    var b = map.getBounds();
    var clamp = function (v, lo, hi) { return Math.min(hi, Math.max(lo, v)); };
    var box = [clamp(b.getWest(), -180, 180), clamp(b.getSouth(), -90, 90),
      clamp(b.getEast(), -180, 180), clamp(b.getNorth(), -90, 90)].map(function (v) { return v.toFixed(6); });
    var asked = ++viewAsked;
    networkDrawn = getJson('/page/flowlines?bbox=' + box.join(',') + '&zoom=' + Math.max(0, Math.round(map.getZoom())))
      .then(function (lines) {
        if (asked !== viewAsked) return;  // a later view was asked for meanwhile
        networkLayer.clearLayers();
        networkLayer.addLayer(L.geoJSON(lines, { style: { color: '#9aa4ad', weight: 1, opacity: 0.9 }, interactive: false }));
        $('network-note').textContent = lines.thinned ? 'Only the larger rivers are drawn at this scale: zoom in for every stream.' : '';
        if (document.body.getAttribute('data-state') === 'loading') setState('ready');
      })
      .catch(function (fault) { setStatus('The network could not be drawn: ' + fault.message, 'fault'); });
  }

  // ---- Start, stop and navigation ----------------------------------------

  function showControls() {
    Array.prototype.forEach.call(document.querySelectorAll('#modes button'), function (button) {
      button.setAttribute('aria-checked', button.getAttribute('data-mode') === state.mode ? 'true' : 'false');
    });
    $('mode-name').textContent = MODES[state.mode].name;
    $('distance-line').hidden = state.mode === 'PP';
    $('stop-line').hidden = state.mode !== 'PP';
    $('stop').textContent = state.stop ? 'flowline ' + state.stop : 'click a second river point';
    $('start').textContent = state.comid ? 'flowline ' + state.comid : 'Click a river on the map.';
    $('distance').value = state.distance;
    $('units').value = state.units;
    $('go').disabled = !state.comid || (state.mode === 'PP' && !state.stop);
  }

  function markPoint(latlng, colour, label) {
    L.circleMarker(latlng, { radius: 7, color: '#fff', weight: 2, fillColor: colour, fillOpacity: 1 })
      .bindTooltip(asText(label)).addTo(markLayer);
  }

  function snap(latlng) {
    var coords = 'POINT(' + latlng.lng.toFixed(6) + ' ' + latlng.lat.toFixed(6) + ')';
    setState('snapping');
    setStatus('Finding the nearest flowline…');
    return getJson('/linked-data/comid/position?coords=' + encodeURIComponent(coords)).then(function (found) {
      var feature = found && found.features && found.features[0];
      var comid = comidOf(feature);
      if (!comid) throw new Error('the service named no flowline');
      return comid;
    });
  }

  function onMapClick(event) {
    var toStop = awaitingStop && state.mode === 'PP';
    snap(event.latlng).then(function (comid) {
      if (toStop) {
        state.stop = comid;
        awaitingStop = false;
        markPoint(event.latlng, '#c0392b', 'stop: flowline ' + comid);
        setStatus('Stop on flowline ' + comid + '. Navigate when ready.');
      } else {
        clearRoute();
        markLayer.clearLayers();
        state.comid = comid;
        state.stop = null;
        awaitingStop = state.mode === 'PP';
        markPoint(event.latlng, '#1f6f3f', 'start: flowline ' + comid);
        setStatus(awaitingStop ? 'Now click the stop, downstream.' : 'Start on flowline ' + comid + '. Pick a navigation.');
      }
      setState('snapped');
      showControls();
      writeHash();
    }).catch(function (fault) {
      setState('fault');
      setStatus(fault.status === 404 ? 'No flowline near that point: click closer to a river.' : fault.message, 'fault');
    });
  }

  function clearRoute() {
    routeLayer.clearLayers();
    siteLayer.clearLayers();
    $('sites').textContent = '';
    $('legend-box').hidden = true;
    $('sites-box').hidden = true;
  }

  function navigationUrl(what) {
    var url = '/linked-data/comid/' + encodeURIComponent(state.comid) + '/navigation/' + state.mode + '/' +
      encodeURIComponent(what) + '?f=json';
    if (state.mode === 'PP') return url + '&stopComid=' + encodeURIComponent(state.stop);
    if (state.distance !== '') url += '&distance=' + (Number(state.distance) * KM_PER[state.units]);
    return url;
  }

  // Runs the navigation of `state`; the map is brought to the route unless
  // `keepView` (the address gave the view).
  function navigate(keepView) {
    if (!state.comid || (state.mode === 'PP' && !state.stop)) return;
    if (state.mode !== 'PP' && state.distance !== '' && !(Number(state.distance) > 0)) {
      setStatus('The distance must be a number above 0, or empty for no limit.', 'fault');
      return;
    }
    writeHash();
    clearRoute();
    setState('navigating');
    setStatus('Navigating…');
    var sites = network.siteSources.map(function (source) {
      return getJson(navigationUrl(source)).then(function (found) {
        return (found.features || []).map(function (f) { f.sourceName = source; return f; });
      });
    });
    Promise.all([getJson(navigationUrl('flowlines'))].concat(sites)).then(function (answers) {
      drawRoute(answers[0], !keepView);
      listSites([].concat.apply([], answers.slice(1)));
      return networkDrawn;  // the network of the view the route was framed in
    }).then(function () {
      setState('done');
    }).catch(function (fault) {
      setState('fault');
      setStatus('The navigation failed: ' + fault.message, 'fault');
    });
  }

  function drawRoute(lines, frame) {
    var features = (lines && lines.features) || [];
    var far = 0;
    features.forEach(function (f) { far = Math.max(far, Number(f.properties.travel_km_to) || 0); });
    var layer = L.geoJSON(features, {
      style: function (f) {
        var mid = ((Number(f.properties.travel_km_from) || 0) + (Number(f.properties.travel_km_to) || 0)) / 2;
        return { color: rampColour(far > 0 ? mid / far : 0), weight: 4, opacity: 1 };
      },
      onEachFeature: function (f, line) {
        var p = f.properties;
        line.bindTooltip(asText('flowline ' + comidOf(f) + ': ' + shown(Number(p.travel_km_from) || 0) + ' to ' +
          shown(Number(p.travel_km_to) || 0)));
      }
    }).addTo(routeLayer);
    $('legend-high').textContent = shown(far);
    $('legend-low').textContent = shown(0);
    $('legend-box').hidden = false;
    $('route-summary').textContent = features.length + ' flowline pieces, ' + shown(far) + ' in all.';
    setStatus(MODES[state.mode].name + ' from flowline ' + state.comid + ': ' + features.length + ' pieces.');
    if (frame && features.length && layer.getBounds().isValid()) map.fitBounds(layer.getBounds(), { padding: [30, 30], maxZoom: 15, animate: false });
  }

  function listSites(sites) {
    sites.sort(function (a, b) { return (Number(a.properties.distance_km) || 0) - (Number(b.properties.distance_km) || 0); });
    var list = $('sites');
    sites.forEach(function (site) {
      var p = site.properties || {};
      var c = site.geometry && site.geometry.coordinates;
      var latlng = c ? L.latLng(c[1], c[0]) : null;
      var label = (p.name || p.identifier || 'site') + (network.siteSources.length > 1 ? ' (' + site.sourceName + ')' : '');
      var item = document.createElement('li');
      item.setAttribute('data-identifier', p.identifier === undefined ? '' : String(p.identifier));
      item.setAttribute('data-distance-km', String(p.distance_km));
      var button = document.createElement('button');
      button.type = 'button';
      button.textContent = label + ' ';
      var distance = document.createElement('span');
      distance.className = 'distance';
      distance.textContent = shown(Number(p.distance_km) || 0);
      button.appendChild(distance);
      item.appendChild(button);
      list.appendChild(item);
      if (!latlng) return;
      // A site table's names are the user's data: text, never markup.
      var popup = asText(label + ': ' + shown(Number(p.distance_km) || 0));
      var marker = L.circleMarker(latlng, { radius: 5, color: '#222', weight: 1, fillColor: '#fdd835', fillOpacity: 1 })
        .bindPopup(popup).addTo(siteLayer);
      button.addEventListener('click', function () {
        map.setView(latlng, Math.max(map.getZoom(), 14));
        marker.openPopup();
      });
    });
    $('sites-box').hidden = network.siteSources.length === 0;
    if (!sites.length && network.siteSources.length) {
      var none = document.createElement('li');
      none.textContent = 'none';
      list.appendChild(none);
    }
  }

  // ---- Wiring ------------------------------------------------------------

  Array.prototype.forEach.call(document.querySelectorAll('#modes button'), function (button) {
    button.addEventListener('click', function () {
      state.mode = button.getAttribute('data-mode');
      awaitingStop = state.mode === 'PP' && !!state.comid && !state.stop;
      if (awaitingStop) setStatus('Now click the stop, downstream.');
      showControls();
      writeHash();
    });
  });
  $('distance').addEventListener('input', function () { state.distance = $('distance').value.trim(); writeHash(); });
  $('units').addEventListener('change', function () {
    var old = state.units;
    state.units = $('units').value;
    if (state.distance !== '' && isFinite(Number(state.distance))) {
      state.distance = String(+(Number(state.distance) * KM_PER[old] / KM_PER[state.units]).toFixed(3));
    }
    showControls();
    writeHash();
  });
  $('go').addEventListener('click', function () { navigate(false); });
  $('clear').addEventListener('click', function () {
    state.comid = null;
    state.stop = null;
    awaitingStop = false;
    clearRoute();
    markLayer.clearLayers();
    setStatus('Click a river on the map.');
    showControls();
    writeHash();
  });
  map.on('click', onMapClick);
  map.on('moveend', function () { drawNetwork(); writeHash(); });
  window.addEventListener('hashchange', function () {
    var before = [state.comid, state.mode, state.stop, state.distance, state.units].join('|');
    var hasView = applyHash(readHash());
    if ([state.comid, state.mode, state.stop, state.distance, state.units].join('|') !== before && state.comid) {
      navigate(hasView);
    }
  });

  getJson('/page/network').then(function (summary) {
    network = summary;
    var hasView = applyHash(readHash());
    if (!hasView) {
      var b = summary.bbox;
      if (summary.flowlines > 0) map.fitBounds([[b[1], b[0]], [b[3], b[2]]]);
      else map.setView([0, 0], 2);
    }
    setStatus(summary.flowlines + ' flowlines. Click a river on the map.');
    if (state.comid && (state.mode !== 'PP' || state.stop)) navigate(hasView);
  }).catch(function (fault) {
    setState('fault');
    setStatus('The network could not be loaded: ' + fault.message, 'fault');
  });

  // For the page's check and for the curious: the map and the state.
  window.rillPage = { map: map, state: state };
})();
