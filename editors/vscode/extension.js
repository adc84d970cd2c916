// The Oxel extension: the language itself (highlighting, comments, brackets,
// indentation) is declared in package.json; this starts oxel-lsp for Oxel
// files and restarts it on demand, and runs oxel-dbg for debug sessions.
'use strict';
const vscode = require('vscode');
const { LanguageClient, TransportKind } = require('vscode-languageclient/node');

let client;

// How to run the server: oxel.server.path, a name looked up on PATH or a
// full path, speaking over its standard input and output.
function serverOptions() {
  const configured = vscode.workspace.getConfiguration('oxel').get('server.path');
  const command = typeof configured === 'string' && configured.trim() !== '' ? configured.trim() : 'oxel-lsp';
  return { command, args: [], transport: TransportKind.stdio };
}

function clientOptions() {
  return {
    documentSelector: [
      { scheme: 'file', language: 'oxel' },
      { scheme: 'untitled', language: 'oxel' },
    ],
    synchronize: {
      fileEvents: vscode.workspace.createFileSystemWatcher('**/*.{ox,oxh}'),
    },
  };
}

async function startServer() {
  client = new LanguageClient('oxel', 'Oxel language server', serverOptions(), clientOptions());
  try {
    await client.start();
  } catch (err) {
    const { command } = serverOptions();
    vscode.window.showErrorMessage(
      `Oxel: could not start the language server '${command}' (${err.message || err}). ` +
      'Install oxel-lsp or set oxel.server.path to its full path.');
  }
}

// A client whose server never started cannot be stopped (stop() throws), so
// a restart after a failed start just starts a new one.
async function stopServer() {
  const running = client;
  client = undefined;
  if (running && running.isRunning()) {
    await running.stop();
  }
}

// Debugging: launch configurations of type `oxel` (package.json's
// `debuggers`) run `oxel-dbg --dap`, oxel.debugger.path found on PATH or a
// full path, over its standard input and output.
function debuggerCommand() {
  const configured = vscode.workspace.getConfiguration('oxel').get('debugger.path');
  return typeof configured === 'string' && configured.trim() !== '' ? configured.trim() : 'oxel-dbg';
}

const debugAdapterFactory = {
  createDebugAdapterDescriptor() {
    return new vscode.DebugAdapterExecutable(debuggerCommand(), ['--dap']);
  },
};

async function activate(context) {
  context.subscriptions.push(vscode.debug.registerDebugAdapterDescriptorFactory('oxel', debugAdapterFactory));
  context.subscriptions.push(vscode.commands.registerCommand('oxel.server.restart', async () => {
    await stopServer();
    await startServer();
  }));
  await startServer();
}

function deactivate() {
  return stopServer();
}

module.exports = { activate, deactivate };
