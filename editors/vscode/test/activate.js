// Runs the packaged extension's activate() under stand-ins for the VS Code
// API and the language client, and checks how it starts oxel-lsp:
//   node activate.js UNPACKED-VSIX/extension TEXTMATE-GRAMMAR
// Prints one line per failed check and exits with status 1 if any failed.
'use strict';
const assert = require('assert');
const fs = require('fs');
const Module = require('module');
const path = require('path');

const extensionDir = path.resolve(process.argv[2]);
const grammarFile = path.resolve(process.argv[3]);
const manifest = JSON.parse(fs.readFileSync(path.join(extensionDir, 'package.json'), 'utf8'));
const settings = manifest.contributes.configuration.properties;

// What the stand-ins saw, reset for each case.
let seen;
let configured;
let startFails;

const vscode = {
  workspace: {
    getConfiguration(section) {
      return {
        get(key) {
          const name = `${section}.${key}`;
          if (Object.prototype.hasOwnProperty.call(configured, name)) {
            return configured[name];
          }
          return settings[name] ? settings[name].default : undefined;
        },
      };
    },
    createFileSystemWatcher(glob) {
      return { glob };
    },
  },
  window: {
    showErrorMessage(text) {
      seen.errors.push(text);
    },
  },
  commands: {
    registerCommand(name, run) {
      seen.commands[name] = run;
      return { dispose() {} };
    },
  },
  debug: {
    registerDebugAdapterDescriptorFactory(type, factory) {
      seen.adapters[type] = factory;
      return { dispose() {} };
    },
  },
  DebugAdapterExecutable: class {
    constructor(command, args) {
      Object.assign(this, { command, args });
    }
  },
};

class LanguageClient {
  constructor(id, name, server, client) {
    Object.assign(this, { id, name, server, client });
    seen.clients.push(this);
  }
  async start() {
    if (startFails) {
      throw new Error('spawn oxel-lsp ENOENT');
    }
    this.running = true;
  }
  isRunning() {
    return Boolean(this.running);
  }
  // as the real client: only a running client can be stopped
  async stop() {
    if (!this.running) {
      throw new Error("Client is not running and can't be stopped");
    }
    this.running = false;
  }
}
const languageClient = { LanguageClient, TransportKind: { stdio: 0, ipc: 1 } };

// The client library must be in the package, though its stand-in is used.
require.resolve('vscode-languageclient/node', { paths: [extensionDir] });
const resolve = Module._resolveFilename;
Module._resolveFilename = function (request, ...rest) {
  if (request === 'vscode' || request === 'vscode-languageclient/node') {
    return request;
  }
  return resolve.call(this, request, ...rest);
};
require.cache.vscode = { id: 'vscode', filename: 'vscode', loaded: true, exports: vscode };
require.cache['vscode-languageclient/node'] = {
  id: 'vscode-languageclient/node', filename: 'vscode-languageclient/node', loaded: true, exports: languageClient,
};
const extension = require(path.join(extensionDir, manifest.main));

const failures = [];
async function check(name, run) {
  seen = { clients: [], errors: [], commands: {}, adapters: {} };
  try {
    await run();
  } catch (err) {
    failures.push(`${name}: ${err.message}`);
  }
}

async function activateWith(settingValue, fails = false) {
  configured = settingValue === undefined ? {} : { 'oxel.server.path': settingValue };
  startFails = fails;
  await extension.activate({ subscriptions: [] });
  assert.strictEqual(seen.clients.length, 1, 'one client started');
  return seen.clients[0];
}

(async () => {
  // The command the server is started with, for each value of the setting.
  const commands = [
    [undefined, 'oxel-lsp'],
    ['/opt/oxel/bin/oxel-lsp', '/opt/oxel/bin/oxel-lsp'],
    ['  /opt/with space/oxel-lsp ', '/opt/with space/oxel-lsp'],
    ['', 'oxel-lsp'],
    ['   ', 'oxel-lsp'],
  ];
  for (const [setting, want] of commands) {
    await check(`oxel.server.path ${JSON.stringify(setting)}`, async () => {
      const client = await activateWith(setting);
      assert.strictEqual(client.server.command, want);
      assert.deepStrictEqual(client.server.args, []);
      assert.strictEqual(client.server.transport, languageClient.TransportKind.stdio);
      assert.ok(client.running, 'started');
      assert.deepStrictEqual(seen.errors, []);
    });
  }

  await check('documents handed to the server', async () => {
    const client = await activateWith(undefined);
    const languages = manifest.contributes.languages.map((l) => l.id);
    const selected = client.client.documentSelector.map((s) => s.language);
    assert.ok(selected.length > 0 && selected.every((l) => languages.includes(l)), `selector ${selected}`);
    assert.ok(client.client.documentSelector.some((s) => s.scheme === 'file'), 'files on disk');
  });

  await check('a server that cannot start', async () => {
    const client = await activateWith('/nowhere/oxel-lsp', true);
    assert.strictEqual(seen.errors.length, 1, 'one message');
    assert.match(seen.errors[0], /\/nowhere\/oxel-lsp/);
    assert.match(seen.errors[0], /oxel\.server\.path/);
    assert.ok(!client.running);
  });

  await check('restart picks up a changed setting', async () => {
    const first = await activateWith('old-lsp');
    const restart = manifest.contributes.commands.map((c) => c.command).find((c) => c in seen.commands);
    assert.ok(restart, 'a declared command is registered');
    configured['oxel.server.path'] = 'new-lsp';
    await seen.commands[restart]();
    assert.ok(!first.running, 'the old server stopped');
    assert.strictEqual(seen.clients.length, 2);
    assert.strictEqual(seen.clients[1].server.command, 'new-lsp');
    await extension.deactivate();
    assert.ok(!seen.clients[1].running, 'deactivate stops the server');
  });

  await check('restart after a failed start', async () => {
    await activateWith('/nowhere/oxel-lsp', true);
    startFails = false;
    configured['oxel.server.path'] = '/opt/oxel/bin/oxel-lsp';
    await seen.commands['oxel.server.restart']();
    assert.strictEqual(seen.clients.length, 2);
    assert.ok(seen.clients[1].running, 'the new server runs');
    await extension.deactivate();
  });

  // Each debugger the manifest declares runs oxel-dbg --dap, as configured.
  const debuggers = [
    [undefined, 'oxel-dbg'],
    ['/opt/oxel/bin/oxel-dbg ', '/opt/oxel/bin/oxel-dbg'],
    ['', 'oxel-dbg'],
  ];
  for (const [setting, want] of debuggers) {
    await check(`oxel.debugger.path ${JSON.stringify(setting)}`, async () => {
      await activateWith(undefined);
      if (setting !== undefined) {
        configured['oxel.debugger.path'] = setting;
      }
      const types = manifest.contributes.debuggers.map((d) => d.type);
      assert.deepStrictEqual(Object.keys(seen.adapters), types);
      const adapter = seen.adapters[types[0]].createDebugAdapterDescriptor({});
      assert.strictEqual(adapter.command, want);
      assert.deepStrictEqual(adapter.args, ['--dap']);
    });
  }

  await check('launch configuration', async () => {
    const [declared] = manifest.contributes.debuggers;
    const launch = declared.configurationAttributes.launch;
    assert.deepStrictEqual(launch.required, ['program']);
    for (const name of ['program', 'cwd', 'stdin']) {
      assert.ok(launch.properties[name], `${name} is declared`);
    }
    assert.ok(declared.languages.includes(manifest.contributes.languages[0].id));
  });

  await check('manifest', async () => {
    const grammar = JSON.parse(fs.readFileSync(grammarFile, 'utf8'));
    const [language] = manifest.contributes.languages;
    assert.deepStrictEqual(language.extensions, grammar.fileTypes.map((t) => `.${t}`));
    const [contributed] = manifest.contributes.grammars;
    assert.strictEqual(contributed.scopeName, grammar.scopeName);
    for (const file of [contributed.path, language.configuration, manifest.main]) {
      assert.ok(fs.existsSync(path.join(extensionDir, file)), `${file} is packaged`);
    }
  });

  for (const failure of failures) {
    console.log(failure);
  }
  process.exit(failures.length === 0 ? 0 : 1);
})();
